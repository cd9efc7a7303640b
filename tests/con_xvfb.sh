#!/bin/sh
# Runs a command under a private virtual X server and returns the command's exit status.
#
# The server picks its own display number (-displayfd): it takes the first number whose
# sockets it can really bind, so a server of another process on the same machine, even one
# whose lock file this process cannot see, never answers in its place. The number is written
# only once the server accepts connections, which is the wait for readiness.
#
# Exit status 77 means the server could not be started; its own messages are on standard
# error.
set -u

cartella=$(mktemp -d) || exit 77
numero="$cartella/display"
errori="$cartella/errori"
: >"$numero"

Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$numero" 2>"$errori" &
server=$!

finisci() {
  kill "$server" 2>/dev/null
  wait "$server" 2>/dev/null
  rm -rf "$cartella"
}

# Up to 30 seconds for the server to come up.
prove=0
while ! grep -q '^[0-9][0-9]*$' "$numero"; do
  if ! kill -0 "$server" 2>/dev/null || [ "$prove" -ge 300 ]; then
    echo "the virtual X server did not start:" >&2
    cat "$errori" >&2
    finisci
    exit 77
  fi
  prove=$((prove + 1))
  sleep 0.1
done

DISPLAY=":$(cat "$numero")" "$@"
stato=$?
finisci
exit "$stato"
