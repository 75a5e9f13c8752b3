# What the terminal tests share: tmux plays the terminal of one session
# ($session, $width columns wide), these read its screen and type into it.
# Sourced; a failure is counted in $failures and shown with the screen.
screen() { tmux capture-pane -p -t "$session"; }
fail() { echo "FAIL ($width columns): $1"; echo "---- screen:"; screen; echo "----"; failures=$((failures + 1)); }
# Waits until the screen shows the text (a fixed string), up to 20 s.
await() {
  for _ in $(seq 1 100); do
    screen | grep -qF -- "$1" && return 0
    sleep 0.2
  done
  return 1
}
press() { tmux send-keys -t "$session" "$@"; }
expect() { await "$1" || fail "$2: no \"$1\""; }
