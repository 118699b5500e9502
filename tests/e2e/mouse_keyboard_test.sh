#!/usr/bin/env bash
# The calculator worked the way a person works it: tallyhorn.exe runs as its
# own process under Wine, and this script reaches it only through the X
# server. xdotool moves the mouse to the on-screen centres of the controls
# (measured by window_probe from the running window, never hard-coded),
# clicks, double-clicks and types; results are read as a person copies them:
# a click in the ticket box, Ctrl+A, Ctrl+C, and the text from the X
# clipboard. window_probe also reports what the form shows, so every wait
# polls for the effect it expects instead of sleeping.
#
#   mouse_keyboard_test.sh TALLYHORN_EXE WINDOW_PROBE_EXE
#
# Needs an X display with a Wine session on it (scripts/wine-session.sh);
# without DISPLAY it skips with status 77.
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 TALLYHORN_EXE WINDOW_PROBE_EXE" >&2
  exit 2
fi
exe=$1
probe=$2

if [ -z "${DISPLAY:-}" ]; then
  echo "skipped: no X display; run inside scripts/wine-session.sh"
  exit 77
fi
for tool in wine xdotool xclip; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "FAIL: $tool is missing (make setup installs it)" >&2
    exit 1
  fi
done

readonly kWaitSeconds=15       # longest wait for any one effect
readonly kToolSeconds=10       # longest run of one probe or xclip (a stuck one is retried)
readonly kClipboardSentinel="(nothing copied yet)"

app=""  # the calculator's process
cleanup() {
  if [ -n "$app" ] && kill -0 "$app" 2>/dev/null; then kill "$app" 2>/dev/null || true; fi
}
trap cleanup EXIT

step="starting"
Fail() {
  echo "FAIL ($step, ${SECONDS}s in): $*" >&2
  exit 1
}

# A fault that does not stop the rest of the test from running: reported,
# and the test fails at its end.
faults=()
Fault() {
  echo "FAULT ($step): $*" >&2
  faults+=("$step: $*")
}

# --- what the form shows --------------------------------------------------

declare -A rectOf visibleOf checkedOf textOf
focusId=0
selectionStart=0
selectionEnd=0

# Takes a fresh reading of the window; false when it is not there.
Probe() {
  local output kind id left top right bottom visible checked text
  output=$(timeout "$kToolSeconds" wine "$probe" "$@" 2>/dev/null) || return 1
  rectOf=() visibleOf=() checkedOf=() textOf=()
  while IFS=$'\t' read -r kind id left top right bottom visible checked text; do
    case "$kind" in
      focus) focusId=$id selectionStart=$left selectionEnd=$top ;;
      control)
        rectOf[$id]="$left $top $right $bottom"
        visibleOf[$id]=$visible
        checkedOf[$id]=$checked
        textOf[$id]=$text
        ;;
    esac
  done <<<"$output"
}

# Polls until the condition (a command) holds, reading the window afresh
# each time; false when it did not hold within `seconds`.
HoldsWithin() {
  local seconds=$1
  shift
  local deadline=$((SECONDS + seconds))
  while true; do
    if Probe && "$@"; then return 0; fi
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

# The same with the full wait, failing the test with `what` when the
# condition does not come true.
WaitUntil() {
  local what=$1
  shift
  HoldsWithin "$kWaitSeconds" "$@" || Fail "$what was not seen within ${kWaitSeconds}s"
}

# Conditions over the last reading.
AreChecked() { local id; for id in "$@"; do [ "${checkedOf[$id]:-}" = 1 ] || return 1; done; }
AreUnchecked() { local id; for id in "$@"; do [ "${checkedOf[$id]:-}" = 0 ] || return 1; done; }
AreVisible() { local id; for id in "$@"; do [ "${visibleOf[$id]:-}" = 1 ] || return 1; done; }
AreHidden() { local id; for id in "$@"; do [ "${visibleOf[$id]:-}" = 0 ] || return 1; done; }
TextIs() { [ "${textOf[$1]-(no such control)}" = "$2" ]; }
# The ticket box shows the text (CR and LF as themselves).
TicketIs() {
  local text
  printf -v text '%b' "${textOf[1342]-(no ticket box)}"
  [ "$text" = "$1" ]
}
FocusIs() { [ "$focusId" = "$1" ]; }

# True when the focused control is the ticket box with all its text selected.
TicketAllSelected() {
  local text
  printf -v text '%b' "${textOf[1342]}"
  FocusIs 1342 && [ "$selectionStart" -eq 0 ] && [ "$selectionEnd" -eq "${#text}" ] && [ "${#text}" -gt 0 ]
}

# The horse box of row r (0 for A), horse h (1 to 20).
Box() { echo $((1000 + 20 * $1 + $2 - 1)); }

# True when row r shows exactly horses 1 to n.
RowShows() {
  local row=$1 count=$2 horse
  for horse in $(seq 1 20); do
    if [ "$horse" -le "$count" ]; then
      AreVisible "$(Box "$row" "$horse")" || return 1
    else
      AreHidden "$(Box "$row" "$horse")" || return 1
    fi
  done
}

# True when no horse box of any row is ticked.
NothingTicked() {
  local id
  for id in $(seq 1000 1159); do AreUnchecked "$id" || return 1; done
}

# --- a person's hands -----------------------------------------------------

# Moves the mouse to the centre of a visible control, as the last reading
# places it.
PointAt() {
  local id=$1 left top right bottom
  [ -n "${rectOf[$id]:-}" ] || Fail "control $id is not in the window"
  [ "${visibleOf[$id]}" = 1 ] || Fail "control $id is hidden; a person could not reach it"
  read -r left top right bottom <<<"${rectOf[$id]}"
  xdotool mousemove $(((left + right) / 2)) $(((top + bottom) / 2))
}

Click() {
  PointAt "$1"
  xdotool click 1
}

CheckIs() { [ "${checkedOf[$1]:-}" = "$2" ]; }

# Clicks horses of a row, one click each, waiting for each box to show the
# given check state (1 ticked, 0 unticked).
ClickHorses() {
  local row=$1 want=$2 horse id
  shift 2
  for horse in "$@"; do
    id=$(Box "$row" "$horse")
    Click "$id"
    WaitUntil "horse $horse of row $row $([ "$want" = 1 ] && echo ticked || echo unticked)" CheckIs "$id" "$want"
  done
}
TickHorses() { ClickHorses "$1" 1 "${@:2}"; }
UntickHorses() { ClickHorses "$1" 0 "${@:2}"; }

# Double-clicks a size edit (which selects its number) and types digits over
# it.
TypeSize() {
  local id=$1 digits=$2
  PointAt "$id"
  xdotool click --repeat 2 --delay 60 1
  WaitUntil "the focus in size edit $id" FocusIs "$id"
  xdotool type --delay 40 "$digits"
}

# Puts a text of the test's own on the clipboard, through Wine, so a copy
# that does not happen cannot pass for one that did.
ResetClipboard() {
  timeout "$kToolSeconds" wine "$probe" --clipboard "$kClipboardSentinel" >/dev/null 2>&1 ||
    Fail "the clipboard could not be set"
  local deadline=$((SECONDS + kWaitSeconds))
  until [ "$(timeout "$kToolSeconds" xclip -o -selection clipboard 2>/dev/null)" = "$kClipboardSentinel" ]; do
    [ "$SECONDS" -lt "$deadline" ] || Fail "the clipboard set through Wine did not reach X"
    sleep 0.05
  done
}

# Presses Ctrl+C and waits for the calculator's copy to reach the X
# clipboard, putting it in `copied` with the CR of each Windows line end
# removed (Wine may or may not pass it on to X).
copied=""
CopySelection() {
  local deadline=$((SECONDS + kWaitSeconds)) text
  xdotool key ctrl+c
  while true; do
    text=$(timeout "$kToolSeconds" xclip -o -selection clipboard 2>/dev/null; printf x)
    text=${text%x}
    if [ "$text" != "$kClipboardSentinel" ]; then
      copied=${text//$'\r'/}
      return 0
    fi
    [ "$SECONDS" -lt "$deadline" ] || Fail "nothing reached the clipboard"
    sleep 0.1
  done
}

# Copies the ticket box as a person does: click in it, Ctrl+A, Ctrl+C. When
# Ctrl+A selects nothing, that is a fault; the text is then selected as a
# person would next try, with Ctrl+Home and Ctrl+Shift+End, so the rest of
# the test still runs.
CopyTicket() {
  ResetClipboard
  Probe || Fail "the window is gone"
  Click 1342
  WaitUntil "the focus in the ticket box" FocusIs 1342
  xdotool key ctrl+a
  if ! HoldsWithin 2 TicketAllSelected; then
    Fault "Ctrl+A in the ticket box did not select its text (selection $selectionStart to $selectionEnd)"
    xdotool key ctrl+Home ctrl+shift+End
    WaitUntil "the whole ticket selected by Ctrl+Home, Ctrl+Shift+End" TicketAllSelected
  fi
  CopySelection
}

# Waits until the calculator shows a message box with the given text,
# read by the probe; fails the test when it does not.
WaitForMessageBox() {
  local want=$1 deadline=$((SECONDS + kWaitSeconds)) text=""
  while true; do
    if text=$(timeout "$kToolSeconds" wine "$probe" --message-box 2>/dev/null); then
      printf -v text '%b' "$text"
      [ "$text" = "$want" ] && return 0
    fi
    [ "$SECONDS" -lt "$deadline" ] || Fail "$(printf 'message box\n  got:  %q\n  want: %q' "$text" "$want")"
    sleep 0.1
  done
}

# Waits until no message box of the calculator is shown.
WaitForNoMessageBox() {
  local deadline=$((SECONDS + kWaitSeconds))
  while timeout "$kToolSeconds" wine "$probe" --message-box >/dev/null 2>&1; do
    [ "$SECONDS" -lt "$deadline" ] || Fail "the message box was still there ${kWaitSeconds}s later"
    sleep 0.1
  done
}

# Starts the calculator with the given arguments.
Start() {
  wine "$exe" "$@" >/dev/null 2>&1 &
  app=$!
}

# Presses Escape and waits for the calculator to end with exit code 0.
EndWithEscape() {
  local deadline=$((SECONDS + kWaitSeconds)) status=0
  xdotool key Escape
  while kill -0 "$app" 2>/dev/null; do
    [ "$SECONDS" -lt "$deadline" ] || Fail "the calculator was still running ${kWaitSeconds}s after Escape"
    sleep 0.1
  done
  wait "$app" || status=$?
  app=""
  [ "$status" -eq 0 ] || Fail "the calculator ended with exit code $status, not 0"
}

# Clicks in the ticket box, selects its text with Ctrl+A, types `text` over
# it and presses Enter.
TypeTicket() {
  Probe || Fail "the window is gone"
  Click 1342
  WaitUntil "the focus in the ticket box" FocusIs 1342
  xdotool key ctrl+a
  WaitUntil "Ctrl+A selecting the ticket box's text" TicketAllSelected
  xdotool type --delay 30 "$1"
  WaitUntil "the typed text in the ticket box" TicketIs "$1"
  xdotool key Return
}

ExpectCopied() {
  local want=$1
  if [ "$copied" != "$want" ]; then
    Fail "$(printf 'copied ticket\n  got:  %q\n  want: %q' "$copied" "$want")"
  fi
}

# --- the session ----------------------------------------------------------

started=$SECONDS

step="start-up"
Start
Probe --wait "$kWaitSeconds" || Fail "no calculator window appeared"
StartState() {
  AreChecked 1247 1334 && RowShows 0 12 && RowShows 1 12 && RowShows 2 12 && RowShows 3 0 &&
    TextIs 1323 12 && TextIs 1342 "" && NothingTicked
}
WaitUntil "the start state (Trifecta, \$1, three rows of twelve, empty ticket)" StartState

step="worked Trifecta example"
TickHorses 0 1 2
TickHorses 1 5
TickHorses 2 3 4
trifecta=$'$1 Trifecta: 1,2 / 5 / 3,4\nBets:  4  Total:  $4 '
CopyTicket
ExpectCopied "$trifecta"

step="typed field size 25"
Probe || Fail "the window is gone"
TypeSize 1323 25
WaitUntil "size edit A showing 20 and three rows of twenty" \
  eval 'TextIs 1323 20 && RowShows 0 20 && RowShows 1 20 && RowShows 2 20 && RowShows 3 0'
# Tab leaves the edit for the next control a person can reach, the ticket
# box (the other size edits are hidden in a position bet), selecting its
# whole text; Ctrl+C copies it unchanged by the wider field.
ResetClipboard
xdotool key Tab
WaitUntil "Tab moving the focus to the ticket box and selecting its text" TicketAllSelected
CopySelection
ExpectCopied "$trifecta"

step="RESET"
# The ticket copied first, as a person keeps it before starting over.
CopyTicket
ExpectCopied "$trifecta"
Click 1228
ResetState() {
  local row
  for row in 1323 1324 1325 1326 1327 1328 1329 1330; do TextIs "$row" 12 || return 1; done
  NothingTicked && TextIs 1342 "" && TextIs 1245 "Bets: 0  Total: \$0" && AreChecked 1247 1334 &&
    RowShows 0 12 && RowShows 1 12 && RowShows 2 12
}
WaitUntil "every size 12, nothing ticked, an empty ticket, Trifecta and \$1 kept" ResetState

# The worked Trifecta with every row's field at `field`.
TrifectaShown() {
  local field=$1
  TicketIs $'$1 Trifecta: 1,2 / 5 / 3,4\r\nBets:  4  Total:  $4 ' && TextIs 1323 "$field" && RowShows 0 "$field" && RowShows 2 "$field" &&
    AreChecked 1247 1334 "$(Box 0 1)" "$(Box 0 2)" "$(Box 1 5)" "$(Box 2 3)" "$(Box 2 4)" &&
    AreUnchecked "$(Box 0 3)" "$(Box 1 1)" "$(Box 2 1)"
}

step="Ctrl+Z after RESET"
xdotool key ctrl+z
WaitUntil "the worked Trifecta back, in its field of 20" TrifectaShown 20
xdotool key ctrl+shift+z
WaitUntil "Ctrl+Shift+Z doing RESET again" ResetState

step="Ctrl+V of the copied ticket"
# The clipboard still holds the ticket copied from the box before RESET.
xdotool key ctrl+v
WaitUntil "the pasted Trifecta, in the fields of 12 RESET left" TrifectaShown 12
xdotool key ctrl+z
WaitUntil "Ctrl+Z taking the paste back" ResetState
xdotool key ctrl+y
WaitUntil "Ctrl+Y pasting it again" TrifectaShown 12
CopyTicket
ExpectCopied "$trifecta"
Click 1228  # RESET
WaitUntil "RESET once more" ResetState

step="Pick ticket"
Click 1249  # Pick-3
WaitUntil "Pick-3 chosen, rows labelled Race A to C with their own size edits" \
  eval 'AreChecked 1249 && AreUnchecked 1247 && TextIs 1271 "Race A" && TextIs 1199 "Race C" &&
        AreVisible 1323 1324 1325 && AreHidden 1326'
Click 1332  # $0.10
WaitUntil "\$0.10 chosen alone" eval 'AreChecked 1332 && AreUnchecked 1334'
TickHorses 0 1 2
# Row B: a field of 5, All, then horses 1 and 2 off again.
TypeSize 1324 5
WaitUntil "row B showing five horses" eval 'TextIs 1324 5 && RowShows 1 5 && RowShows 0 12'
# Enter keeps the number and selects it, so the next digits replace it; it
# opens nothing (Help, the dialog's default button, would take the focus).
xdotool key Return
SizeBSelected() { FocusIs 1324 && [ "$selectionStart" -eq 0 ] && [ "$selectionEnd" -eq 1 ] && TextIs 1324 5; }
WaitUntil "Enter selecting the 5 in row B's size edit" SizeBSelected
Click 1281  # All of row B
WaitUntil "All ticking horses 1 to 5 of row B" eval "AreChecked $(Box 1 1) $(Box 1 5) && AreUnchecked $(Box 1 6)"
UntickHorses 1 1 2
# Row C: All, Clr, then horses 6 to 9.
Click 1282  # All of row C
WaitUntil "All ticking horses 1 to 12 of row C" AreChecked "$(Box 2 1)" "$(Box 2 12)"
Click 1232  # Clr of row C
WaitUntil "Clr unticking row C" AreUnchecked "$(Box 2 1)" "$(Box 2 12)"
TickHorses 2 6 7 8 9
CopyTicket
ExpectCopied $'$0.10 Pick-3: 1,2 / 3,4,5 / 6,7,8,9\nBets:  24  Total:  $2.40 '

step="typed ticket"
# A one-race bet reads its rows in the field of its one size edit, row A's
# (12 here); ALL is all of it.
exacta=$'$2 Exacta: 1,2,3 / 1,2,3,4,5,6,7,8,9,10,11,12\r\nBets:  33  Total:  $66 '
TypeTicket '$2 exacta: 1-3 / all'
ExactaShown() {
  TicketIs "$exacta" && AreChecked 1246 1335 "$(Box 0 1)" "$(Box 0 3)" "$(Box 1 1)" "$(Box 1 12)" &&
    AreUnchecked 1249 1332 "$(Box 0 4)" && RowShows 1 12
}
WaitUntil "the typed Exacta in the form" ExactaShown

step="typed ticket with horse 21"
TypeTicket '$2 Exacta: 4 / 21'
WaitForMessageBox $'Tallyhorn could not read the ticket in the box:\n\nIn the 2nd row, there is no horse 21; a race has at most 20 horses.'
xdotool key Return
WaitForNoMessageBox
ExactaKeptWithTypedText() {
  TicketIs '$2 Exacta: 4 / 21' && AreChecked 1246 "$(Box 0 1)" "$(Box 1 12)" && AreUnchecked "$(Box 0 4)"
}
WaitUntil "the form as it was and the typed text kept" ExactaKeptWithTypedText
# Mended at its end, and Enter again.
xdotool key End BackSpace
WaitUntil "the mended text" TicketIs '$2 Exacta: 4 / 2'
xdotool key Return
MendedExactaShown() {
  TicketIs $'$2 Exacta: 4 / 2\r\nBets:  1  Total:  $2 ' && AreChecked "$(Box 0 4)" "$(Box 1 2)" &&
    AreUnchecked "$(Box 0 1)" "$(Box 1 12)"
}
WaitUntil "the mended Exacta in the form" MendedExactaShown

step="Escape"
EndWithEscape

step="started with a ticket"
# Several arguments are one ticket, joined by spaces.
Start '$2' 'Pick-3:' '1-3' '/' 'ALL' '/' '7'
Probe --wait "$kWaitSeconds" || Fail "no calculator window appeared"
pick3=$'$2 Pick-3: 1,2,3 / 1,2,3,4,5,6,7,8,9,10,11,12 / 7\r\nBets:  36  Total:  $72 '
Pick3Shown() { TicketIs "$pick3" && AreChecked 1249 1335 "$(Box 2 7)" && AreUnchecked "$(Box 2 4)" && RowShows 2 12; }
WaitUntil "the ticket of the command line" Pick3Shown
# Undo goes back no further than the ticket the calculator started with: a
# second Ctrl+Z finds nothing, so Ctrl+Y brings back the click.
TickHorses 2 4
xdotool key ctrl+z
WaitUntil "Ctrl+Z taking back the click" Pick3Shown
xdotool key ctrl+z ctrl+y
WaitUntil "Ctrl+Y bringing back the click" AreChecked "$(Box 2 4)" "$(Box 2 7)" "$(Box 0 1)"
EndWithEscape

step="started with a text that is no ticket"
Start '$1 Trifecta: 1 / 2'
WaitForMessageBox $'Tallyhorn could not read the ticket on the command line:\n\nA Trifecta ticket has 3 rows separated by "/"; this one has 2.'
xdotool key Return
WaitForNoMessageBox
Probe --wait "$kWaitSeconds" || Fail "no calculator window appeared after the message box"
WaitUntil "the start state after the message box" StartState
EndWithEscape

if [ "${#faults[@]}" -gt 0 ]; then
  echo "FAIL: ${#faults[@]} fault(s), every other check passed:" >&2
  printf '  %s\n' "${faults[@]}" >&2
  exit 1
fi
echo "PASS: worked Trifecta, typed size 25 -> 20, Tab, RESET, Ctrl+Z/Ctrl+Shift+Z/Ctrl+V/Ctrl+Y," \
  "Pick-3 ticket, typed tickets, Escape -> exit 0, started with a ticket and with no ticket" \
  "($((SECONDS - started))s)"
