# Demo firmware images: random bytes with the version record where the updater reads it.
#   make_image OUT SIZE [CTLVER DSPVER CTLDATE DSPDATE]
#     "Controller Ver" and "DSP Ver" with their tokens near the start (first 8 KiB block),
#     the DSP date at 0xFFC0 and the controller date at 0xFFD9, each ended by "*".
#     SIZE must be above 0xFFD9 for the dates to be in the file.
#   make_image_without_labels OUT SIZE   dates only, no version labels
make_image() {
  local out=$1 size=$2 ctlver=${3:-2.20} dspver=${4:-1.09} ctldate=${5:-04/01/03}
  local dspdate=${6:-03/28/03}
  make_image_without_labels "$out" "$size" "$ctldate" "$dspdate"
  printf 'Controller Ver %s\r\nDSP Ver %s\r\n' "$ctlver" "$dspver" |
    dd of="$out" bs=1 seek=256 conv=notrunc status=none
}

make_image_without_labels() {
  local out=$1 size=$2 ctldate=${3:-04/01/03} dspdate=${4:-03/28/03}
  head -c "$size" /dev/urandom >"$out"
  printf '%s*' "$dspdate" | dd of="$out" bs=1 seek=$((0xFFC0)) conv=notrunc status=none
  printf '%s*' "$ctldate" | dd of="$out" bs=1 seek=$((0xFFD9)) conv=notrunc status=none
}
