#!/usr/bin/env bash
# Writes the small seed corpora of the fuzzers under DIR/NAME/ (NAME as in fuzz-NAME): a
# few inputs each that reach the interesting places at once. The layouts follow the
# decoders in fuzz/checks/ (*Check.h, DialogueScenario.cpp).
set -euo pipefail
export LC_ALL=C
out=${1:?usage: make_seeds.sh DIR}

# Bytes: u8/u16/u24 write a number big-endian, as the decoders' Range() reads it; txt
# writes a length byte and the text.
u8() { printf "\\x$(printf %02x $(($1 & 255)))"; }
u16() { u8 $(($1 >> 8)); u8 $1; }
u24() { u8 $(($1 >> 16)); u16 $(($1 & 65535)); }
txt() { u8 ${#1}; printf '%s' "$1"; }
seed() { mkdir -p "$out/$1"; cat > "$out/$1/$2"; }

# Field readers: the data as it stands.
printf 'ATI7\r\r\nController Ver 2.10\r\nDate: 03/15/02\r\n\r\nOK\r\n' | seed fields ati7
printf 'ATI8\r\r\nDSP Ver   2.10\r\nDate:\r\n' | seed fields ati8-empty-date
printf 'DSP Ver: 1.07 Date: 02/28/02' | seed fields no-carriage-return
printf 'Controller Ver\0x\tDSP Ver' | seed fields zero-byte
printf '\r\nZQ713\r\n\r\nOK\r\nREADY' | seed fields identification

# JSON writer: a modem's text as it stands: quotes, control bytes, UTF-8 and bytes that are not.
printf 'a"b\\c\x01\x1b[31m\x7f' | seed json quotes-and-controls
printf 'caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80' | seed json utf8
printf '\xff\xc3\xed\xa0\x80\xc0\xaf\xf4\x90\x80\x80' | seed json invalid-utf8

# Image reader: read sizes, the file's length, a filler byte, then pieces (offset, bytes).
piece() { u16 $1; txt "$2"; }
valid_pieces() {
  piece 100 $'Controller Ver 2.20\r\n'; piece 160 $'DSP Ver 1.09\r\n'
  piece $((0xFFC0)) '04/01/03*'; piece $((0xFFD9)) '04/02/03*'
}
{ u8 0; u24 65536; u8 0x80; valid_pieces; } | seed image-reader valid
{ u8 3; u16 1000; u16 7; u16 8192; u24 65536; u8 0x20; valid_pieces; } |
  seed image-reader short-reads
{ u8 0; u24 65536; u8 0; piece 8185 'Controller Ver 1'; piece 9000 'DSP Ver 2';
  piece $((0xFFC0)) '0123456789abcdefgh'; } | seed image-reader label-across-blocks
{ u8 1; u16 0; u24 70000; u8 0x41; valid_pieces; } | seed image-reader reads-yield-nothing

# Dialog initialisation data: the port list of the main dialog, whole and cut.
entry() { u8 $(($1 & 255)); u8 $(($1 >> 8)); u8 $(($2 & 255)); u8 $(($2 >> 8));
          u8 $3; u8 0; u8 0; u8 0; printf '%s' "$4"; }
ports() { for n in 1 2 3 4 5 6 7 8; do entry 1000 $((0x403)) 5 "COM$n"; printf '\0'; done; }
{ ports; u8 0; u8 0; } | seed dialog-init ports
{ entry 1000 $((0x403)) 5 COM1; printf '\0'; entry 1000 $((0x403)) 5 COM2; printf '\0';
  u8 0xe8; u8 3; u8 3; } | seed dialog-init cut
{ entry 1000 $((0x403)) 200 'COM1'; } | seed dialog-init length-past-end

# modem-sim's command line: arguments separated by zero bytes.
args() {
  local first=1
  for a in "$@"; do [ $first = 1 ] || printf '\0'; first=0; printf '%s' "$a"; done
}
args --port COM3 | seed sim-options one-port
args --link-dir /tmp/l --record-dir /tmp/r --max-seconds 60 \
     --port 'COM3:ident=ZQ713,echo=1,delay=20,erase=9000,idle=500' \
     --port 'COM4:silent=1,stall-after=5000,vanish-after=1,pace=1' | seed sim-options many
args --port 'A:ati7=\r\nController Ver 2.10\x2c\r\n,final=ER\0\0,no-ready=1' |
  seed sim-options escapes
args --help | seed sim-options help

# The dialogue: what the user does, the modem, the image, the file, the boxes (see
# DialogueScenario.cpp for the order). The empty input is a sound modem and image.
modem() {  # echo delay erase idle faults
  u8 0; u8 0; u8 $1; u16 $2; u8 0; u16 $3; u16 $(($4 - 1)); u8 0; u8 $5
}
: | seed dialogue sound
{ u8 1; u8 2; u8 255; modem 1 20 9000 500 0; } | seed dialogue find-then-upgrade-echo
{ u8 0; u8 0; u8 255; modem 0 20 9000 500 16; u24 5000; } | seed dialogue stall
{ u8 0; u8 0; u8 255; modem 0 20 9000 500 32; u24 5000; } | seed dialogue vanish
{ u8 0; u8 0; u8 255; modem 0 20 9000 500 2; } | seed dialogue no-ready
{ u8 0; u8 0; u8 255; u8 0; u8 0; u8 0; u16 20; u8 $((128 + 64));
  txt $'\r\nErase flash? (y/n)\r\nREADY? no, not yet.\r\n\r\nErase flash? (y/n)\r\nREADY'
  txt $'\r\nREADY\r\nOK\r\n'; u16 12000; u16 499; u8 1; txt $'ER\r\n'; u8 8; } |
  seed dialogue leftovers-and-wrong-final
{ u8 3; u8 1; u8 255; modem 0 20 9000 500 0; u8 0; u16 100; u8 0; u8 0; u8 4; u8 1;
  u16 700; } | seed dialogue twice-file-grows
{ u8 2; u8 5; u8 0; modem 0 20 9000 500 0; u8 0; u16 0; u8 0; u8 0; u8 0; u8 0; u8 0x03;
  u8 1; u8 2; txt $'\r\nHARBOR817\r\n'; u8 0; } | seed dialogue find-other-device-busy-ports
{ u8 0; u8 4; u8 255; modem 0 100 20000 2000 8; u8 0; u16 0; u8 0; u8 1; } |
  seed dialogue paced-cancel-consent
