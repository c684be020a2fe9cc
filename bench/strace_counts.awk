# Counts an strace log (-f -yy -ttt) per phase, for bench/wine_upgrade_cpu.sh.
# Files, in order: the peers ("server pipe INODE", "x11 socket INODE"), the marks (NAME TIME
# ..., one phase from each mark to the next), the log. Prints per phase: NAME SECONDS CALLS
# X11_WRITES SERVER_REQUESTS XDEFAULTS_LOOKUPS.
BEGIN { n = 0 }
FILENAME == ARGV[1] { peer[$1, $3] = 1; next }
FILENAME == ARGV[2] { name[n] = $1; at[n] = $2; n++; next }
{
  if ($3 ~ /^(<\.\.\.|\+\+\+|---)/) next  # the end of a call counted at its start; signals
  t = $2 + 0
  if (t < at[0] || t >= at[n - 1]) next
  for (p = 0; p < n - 1 && t >= at[p + 1]; p++) {}
  calls[p]++
  call = $3
  sub(/\(.*/, "", call)
  if (call ~ /^(write|writev|sendmsg)$/) {
    # The first argument's fd, named: <pipe:[INODE]> or <UNIX-STREAM:[SELF->PEER...]>
    fd = $3
    sub(/^[^<]*</, "", fd)
    if (fd ~ /^pipe:/) {
      inode = fd; gsub(/[^0-9]/, "", inode)
      if (peer["server", inode]) server[p]++
    } else if (fd ~ /^UNIX/) {
      inode = fd; sub(/^[^>]*->/, "", inode); sub(/[^0-9].*/, "", inode)
      if (peer["x11", inode]) x11[p]++
    }
  }
  # Xlib looks its resources up again: ~/.Xdefaults, then ~/.Xdefaults-HOSTNAME.
  if (call ~ /^open/ && $0 ~ /\.Xdefaults-/) xdefaults[p]++
}
END {
  for (p = 0; p < n - 1; p++)
    printf "%s %.3f %d %d %d %d\n", name[p], at[p + 1] - at[p], calls[p], x11[p], server[p], xdefaults[p]
}
