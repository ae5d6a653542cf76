# Sourced by the test scripts: the tests and their PostgreSQL cluster write many small files,
# so TMPDIR becomes a folder of this run's on a memory file system where one has room (4 GiB
# free), unless TMPDIR was chosen. The folder goes when the script ends.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ] &&
  [ "$(df -Pk /dev/shm | awk 'NR == 2 { print $4 }')" -gt $((4 * 1024 * 1024)) ]; then
  TMPDIR="$(mktemp -d /dev/shm/imaestros-tests.XXXXXX)"
  chmod 755 "$TMPDIR" # the cluster's owner, another user under root, enters it
  export TMPDIR
  trap 'rm -rf "$TMPDIR"' EXIT
fi
