#!/usr/bin/env bash
# Program-level tests of the Windows HX_RPT under wine: the built program in
# a private folder with the stand-in DLLs, run as a user or a scheduler
# would, headless.
#
# usage: program_test.sh CASE
# Environment (set by tests/windows/CMakeLists.txt):
#   HX_EMULATOR   the wine runner and its prefix
#   HX_WIN_BIN    folder of HX_RPT.exe, the stand-in DLLs and the example
#   HX_LACKING    folder of a LumoCom.dll that exports only its open call
#   HX_FIND_MAIN  the find_main.exe helper
#   HX_OTHER_PROGRAM  the other_program.exe helper
#   HX_LINUX_BIN  folder of the Linux program, for the comparison of logs
#   HX_SOURCE_DIR the source tree
# Exit 0 passed, 1 failed, 77 skipped (what it needs is not built).
set -euo pipefail

read -r -a emulator <<<"$HX_EMULATOR"
case_name=$1
work=$(mktemp -d)
chmod a+rx "$work"  # the print server's filters run as another user
cups=
other=
mounted=
cleanup() {
  if [[ -n $other ]]; then
    kill "$other" 2>/dev/null || true
    wait "$other" 2>/dev/null || true
  fi
  if [[ -n $mounted ]]; then umount "$mounted" || true; fi
  if [[ -n $cups && -z ${HX_KEEP:-} ]]; then "$HX_SOURCE_DIR/tests/private_cups.sh" stop "$cups" || true; fi
  if [[ -z ${HX_KEEP:-} ]]; then rm -rf "$work"; else echo "kept $work" >&2; fi
}
trap cleanup EXIT

fail() {
  echo "FAILED ($case_name): $*" >&2
  exit 1
}

# A program folder: HX_RPT.exe, the stand-ins, the example plant, and the
# example's definition file with the settings given as KEY=VALUE, and the
# report lines in $more_report after the example's.
more_report=
program_folder() {
  local folder=$1
  shift
  mkdir -p "$folder"
  cp "$HX_WIN_BIN"/HX_RPT.exe "$HX_WIN_BIN"/HX_VENDOR.exe "$HX_WIN_BIN"/*.dll "$HX_WIN_BIN"/LUMOCOM.SIM "$folder"/
  definition "$HX_WIN_BIN/HX_RPT.INI" "$folder/HX_RPT.INI" "$@"
  if [[ -n $more_report ]]; then printf '%s\n' "$more_report" >>"$folder/HX_RPT.INI"; fi
}

definition() {
  local from=$1 to=$2
  shift 2
  cp "$from" "$to"
  local setting
  # The value ends before the line's CR, which stays.
  for setting in "$@"; do
    sed -i "s/^${setting%%=*}=[^\r]*/${setting//\//\\/}/" "$to"
  done
}

# Runs PROGRAM (HX_RPT.exe unless named) in folder to its end, started from
# the folder, or from $from where that is set; its status in $status, its
# output in folder/out.txt, standard error in folder/err.txt.
run() {
  local folder=$1 program=${2:-HX_RPT.exe}
  shift $(($# < 2 ? $# : 2))
  status=0
  (cd "${from:-$folder}" && timeout 60 "${emulator[@]}" "$folder/$program" "$@" \
    >"$folder/out.txt" 2>"$folder/err.txt") || status=$?
  if ((status == 124)); then fail "$program did not end"; fi
}

start() {
  local folder=$1
  (cd "$folder" && exec timeout 60 "${emulator[@]}" "$folder/HX_RPT.exe" >"$folder/out.txt" \
    2>"$folder/err.txt") &
  started=$!
}

find_main() {
  "${emulator[@]}" "$HX_FIND_MAIN" "$@" | tr -d '\r'
}

expect_status() {
  if [[ $status != "$1" ]]; then fail "exit status $status, expected $1; $(cat "$2/err.txt")"; fi
}

# Standard error as the program wrote it, with Windows line ends.
expect_err() {
  local folder=$1 expected=$2
  local got
  got=$(tr -d '\r' <"$folder/err.txt" | grep -v '^HX_RPT: ' || true)
  if [[ $got != "$expected" ]]; then
    fail "standard error differs:"$'\n'"--- got"$'\n'"$got"$'\n'"--- expected"$'\n'"$expected"
  fi
}

# Log lines with the date and the time masked.
masked() {
  sed -e 's#[0-9][0-9]:[0-9][0-9]:[0-9][0-9]#hh:mm:ss#g' \
    -e 's#[0-9][0-9]/[0-9][0-9]/[0-9][0-9][0-9][0-9]#dd/mm/yyyy#g' "$1"
}

start_print_server() {
  cups=$work/cups
  "$HX_SOURCE_DIR/tests/private_cups.sh" start "$cups" >/dev/null 2>&1
  export CUPS_SERVER=$cups/cups.sock
}

error_handler() {
  printf 'HX_RPT Error Handler: Error: %s  \n%s' "$1" "$2"
}

# A folder as the Windows program names it: wine's drive Z: is the root.
windows_path() {
  printf 'Z:%s' "${1//\//\\}"
}

# Starts other_program.exe with the arguments after the first in the
# background, and returns once it has said the first (what it says in
# $work/other.txt).  The cleanup ends it if it has not ended by itself.
other_program() {
  local until=$1
  shift
  : >"$work/other.txt"
  "${emulator[@]}" "$HX_OTHER_PROGRAM" "$@" >"$work/other.txt" 2>&1 &
  other=$!
  for _ in $(seq 300); do
    if grep -q "^$until" "$work/other.txt"; then return 0; fi
    sleep 0.1
  done
  fail "other_program $* did not say $until: $(cat "$work/other.txt")"
}

# The example's log of an undisturbed run, masked, in $work/reference.log;
# the arguments are the definition file's settings, as for program_folder.
reference_log() {
  program_folder "$work/reference" SHOWIT=FALSE "$@"
  run "$work/reference"
  expect_status 0 "$work/reference"
  masked "$work/reference/HX_RPT.LOG" >"$work/reference.log"
}

expect_reference_log() {
  cmp <(masked "$1") "$work/reference.log" ||
    fail "the log differs: $(diff <(masked "$1") "$work/reference.log")"
}

milliseconds() {
  echo $(($(date +%s%N) / 1000000))
}

case $case_name in
example_log_as_on_linux)
  # The same definition file and plant give the Linux program's log, byte
  # for byte but for the clock.  Both see the same printer's orientation.
  if [[ ! -x $HX_LINUX_BIN/HX_RPT ]]; then
    echo "skipped: no Linux program in $HX_LINUX_BIN (build the default preset)"
    exit 77
  fi
  start_print_server
  program_folder "$work/win" SHOWIT=FALSE
  run "$work/win"
  expect_status 0 "$work/win"
  mkdir "$work/linux"
  cp "$HX_LINUX_BIN"/HX_RPT "$HX_LINUX_BIN"/HX_VENDOR "$HX_LINUX_BIN"/lib*.so "$HX_LINUX_BIN"/LUMOCOM.SIM "$work/linux"/
  definition "$HX_WIN_BIN/HX_RPT.INI" "$work/linux/HX_RPT.INI" SHOWIT=FALSE
  (cd "$work/linux" && TMPDIR=$work/linux XDG_RUNTIME_DIR=$work/linux QT_QPA_PLATFORM=offscreen ./HX_RPT) ||
    fail "the Linux program failed"
  [[ -s $work/win/HX_RPT.LOG ]] || fail "no log"
  cmp <(masked "$work/win/HX_RPT.LOG") <(masked "$work/linux/HX_RPT.LOG") ||
    fail "the logs differ: $(diff <(masked "$work/win/HX_RPT.LOG") <(masked "$work/linux/HX_RPT.LOG"))"
  ;;

missing_definition_file)
  # One "FormLoad" error in the dialog, in front of the empty main window,
  # which stays until closed.
  program_folder "$work/p"
  rm "$work/p/HX_RPT.INI"
  start "$work/p"
  seen=$(find_main close)
  wait "$started" || status=$?
  expect_status 1 "$work/p"
  expected="main: visible
dialog: HX_RPT Error Handler
text: Error: 53  
File not found in: FormLoad"
  [[ $seen == "$expected" ]] || fail "on screen: $seen"
  expect_err "$work/p" "$(error_handler 53 "File not found in: FormLoad")"
  [[ ! -e $work/p/HX_RPT.LOG ]] || fail "a log was written"
  ;;

second_copy)
  # While one copy shows its report, a second one ends at once with status
  # 2, silently; the first goes on.
  program_folder "$work/p" SHOWIT=TRUE
  start "$work/p"
  first=$started
  find_main look >/dev/null || fail "the first copy showed no window"
  run "$work/p"
  expect_status 2 "$work/p"
  [[ ! -s $work/p/err.txt ]] || fail "the second copy said: $(cat "$work/p/err.txt")"
  find_main close >/dev/null
  status=0
  wait "$first" || status=$?
  expect_status 0 "$work/p"
  ;;

missing_lumocom)
  # Each controller's open fails where it is called; the report still runs.
  program_folder "$work/p" SHOWIT=FALSE
  rm "$work/p/LumoCom.dll"
  run "$work/p"
  expect_status 1 "$work/p"
  one=$(error_handler 53 "File not found in: GetHandle")
  expect_err "$work/p" "$one
$one
$one"
  grep -qx "  Pump 1 \.* *"$'\r' "$work/p/HX_RPT.LOG" || fail "no report in the log"
  ;;

lumocom_lacking_a_function)
  # A LumoCom.dll without its power-up clear: 453 where it is called, and
  # the queries still answer.
  program_folder "$work/p" SHOWIT=FALSE
  perl -0777 -pi -e 's/\0T31MdsSendReceSz\0/\0T31MdsSendReceSX\0/g' "$work/p/LumoCom.dll"
  run "$work/p"
  expect_status 1 "$work/p"
  one=$(error_handler 453 "Specified DLL function not found in: SendPUC")
  expect_err "$work/p" "$one
$one
$one"
  grep -q 'Pump 1 \.* RUNNING' "$work/p/HX_RPT.LOG" || fail "no values in the log"
  ;;

decorated_export_names)
  # A LumoCom.dll that exports its open call only under its decorated name
  # (on 32-bit) is still called: it knows no controller.
  program_folder "$work/p" SHOWIT=TRUE
  cp "$HX_LACKING/LumoCom.dll" "$work/p/LumoCom.dll"
  start "$work/p"
  find_main close >/dev/null || fail "no window"
  wait "$started" || status=$?
  expect_status 1 "$work/p"
  got=$(tr -d '\r' <"$work/p/err.txt" | grep -c "^Communication Error Message: Controller '.*' Not Found\.$" || true)
  [[ $got == 3 ]] || fail "expected three Not Found messages: $(cat "$work/p/err.txt")"
  ;;

printing)
  # Through wine's spooler to the private print server: the six-space
  # margin, the template's page break, and a 100-column line complete over
  # two printed rows that both begin at the margin.
  start_print_server
  program_folder "$work/p" SHOWIT=FALSE PRINTIT=TRUE
  wide=$(printf 'W%.0s' $(seq 98))
  printf '\\F\r\nWIDE%sEND\r\n' "$wide" >>"$work/p/HX_RPT.INI"
  run "$work/p"
  expect_status 0 "$work/p"
  "$HX_SOURCE_DIR/tests/private_cups.sh" wait "$cups"
  pdf=$cups/out.prn
  [[ -s $pdf ]] || fail "no print job arrived"
  pages=$(pdfinfo "$pdf" | sed -n 's/^Pages: *//p')
  [[ $pages == 2 ]] || fail "expected 2 pages, got $pages"
  text=$(pdftotext -raw "$pdf" - | tr -d '\r\f')
  grep -q '^RIVERSIDE WATER WORKS' <<<"$text" || fail "no header: $text"
  joined=$(sed -n '/^WIDE/{N;s/\n//;p}' <<<"$text")
  [[ $joined == "WIDE${wide}END" ]] || fail "the wide line came out as: $joined"
  # Both rows of the wide line begin at the same distance from the edge as
  # every other line: the margin.
  lefts=$(pdftotext -bbox "$pdf" - | sed -n 's/.*xMin="\([0-9.]*\)".*>\(RIVERSIDE\|WIDE[A-Z]*\|W*END\)<.*/\1/p' | sort -u)
  [[ $(wc -l <<<"$lefts") == 1 ]] || fail "rows begin at different places: $lefts"
  awk -v x="$lefts" 'BEGIN { exit !(x > 30) }' || fail "no margin: the first word is at $lefts"
  ;;

eight_bit_folder)
  # A folder named in the ANSI code page ("\x80", the euro sign, which wine
  # keeps on the Linux side in UTF-8) still leads to the definition file and
  # the log.
  program_folder "$work/plant"$'\xe2\x82\xac' SHOWIT=FALSE
  run "$work/plant"$'\xe2\x82\xac'
  expect_status 0 "$work/plant"$'\xe2\x82\xac'
  [[ -s "$work/plant"$'\xe2\x82\xac'/HX_RPT.LOG ]] || fail "no log"
  ;;

hx_check)
  # The checker, a console program, explains the file beside it without
  # opening a controller: the example passes, a number beyond 16 bits does not;
  # and with --live it asks the simulated plant for every tag once.
  program_folder "$work/p"
  cp "$HX_WIN_BIN/HX_CHECK.exe" "$work/p/"
  run "$work/p" HX_CHECK.exe
  expect_status 0 "$work/p"
  grep -q '^Sections:' "$work/p/out.txt" || fail "no summary: $(cat "$work/p/out.txt")"
  # The preview lays the example out as the program does, the clock included.
  run "$work/p" HX_CHECK.exe --preview
  expect_status 0 "$work/p"
  tr -d '\r' <"$work/p/out.txt" | grep -qx '  Flow rate \.* m3/h  9999\.9' ||
    fail "no preview: $(cat "$work/p/out.txt")"
  tr -d '\r' <"$work/p/out.txt" | grep -qx 'Date: [0-9][0-9]/[0-9][0-9]/[0-9]\{4\}    Time: [0-9:]\{8\}' ||
    fail "no date and time in the preview: $(cat "$work/p/out.txt")"
  # Asked live, every tag of the example answers, through HX_VENDOR.exe beside it.
  run "$work/p" HX_CHECK.exe --live
  expect_status 0 "$work/p"
  tr -d '\r' <"$work/p/out.txt" | grep -q 'HX_RPT.INI: live: 14 tags answered, 0 failed; 3 of 3 controllers opened$' ||
    fail "no live summary: $(cat "$work/p/out.txt")"
  printf '[SETUP]\r\nLandScapeLines=40000\r\n' >"$work/p/BAD.INI"
  run "$work/p" HX_CHECK.exe BAD.INI
  expect_status 2 "$work/p"
  grep -q '^BAD.INI:2: error: LandScapeLines=40000 does not fit a 16-bit number' "$work/p/out.txt" ||
    fail "no error line: $(cat "$work/p/out.txt")"
  ;;

site_language)
  # Wine takes its ANSI code page from the locale: a Russian site (1251) and
  # a Polish one (1250), with definition files in UTF-8, UTF-16 and 1251.
  # The controller gets each name in the site's code page, the log keeps the
  # file's encoding (UTF-8 for UTF-16), and a name or table index the code
  # page cannot hold is never sent.
  locales=$work/locales
  mkdir "$locales"
  for l in ru_RU pl_PL; do
    localedef -i $l -f UTF-8 "$locales/$l.UTF-8" 2>/dev/null || [[ -d $locales/$l.UTF-8 ]] ||
      { echo "skipped: the $l locale cannot be made here"; exit 77; }
  done
  export LOCPATH=$locales
  mkdir "$work/p"
  cp "$HX_WIN_BIN"/HX_RPT.exe "$HX_WIN_BIN"/HX_VENDOR.exe "$HX_WIN_BIN"/HX_CHECK.exe "$HX_WIN_BIN"/*.dll "$work/p"/
  { printf '[PLANT]\n'
    printf '*СМЕНА=И. ПЕТРОВ\n' | iconv -t CP1251
    printf '*ZAŁOGA=12\n' | iconv -t CP1250
    printf '*ZALOGA=7\n}LEVELS(0)=99\n}LEVELS(1)=55\n'; } >"$work/p/LUMOCOM.SIM"
  export LUMOCOM_JOURNAL=$work/p/journal.txt
  definition_text() {  # SMENA ZALOGA TEMPLATE-TEXT [TABLE-INDEX]
    printf '[SETUP]\r\nLOGIT=TRUE\r\nLOGFILENAME=R.LOG\r\nPortraitLines=60\r\n'
    printf '[CONTROLLERS]\r\n1=PLANT\r\n[TAGS]\r\n0 1 SV %s 10\r\n1 1 SV %s 4\r\n' "$1" "$2"
    printf '2 1 IT LEVELS 2 0 %s\r\n[REPORT]\r\n%s \\0          |\\1    |\\2 |\r\n' "${4:-1}" "$3"
  }
  site() {  # LOCALE STATUS JOURNAL LOG: runs the program on HX_RPT.INI
    rm -f "$work/p/R.LOG" "$LUMOCOM_JOURNAL"
    LC_ALL=$1 run "$work/p"
    expect_status "$2" "$work/p"
    local sent
    sent=$(LC_ALL=C grep -a '^send ' "$LUMOCOM_JOURNAL" | tr -d '\r')
    [[ $sent == "$3" ]] || fail "$1: sent $(od -c <<<"$sent")"
    cmp "$work/p/R.LOG" <(printf '%s\r\n' "$4") || fail "$1: logged $(od -c "$work/p/R.LOG")"
  }
  not_queried() {  # LINE TAG CODE-PAGE: standard error names the tag not queried
    grep -q "HX_RPT.INI line $1: tag $2: .* Windows-$3 lacks; it is not queried" "$work/p/err.txt" ||
      fail "standard error: $(cat "$work/p/err.txt")"
  }
  smena_1251=$(printf 'СМЕНА' | iconv -t CP1251)
  levels='send 1 25  1 }LEVELS TABLE@ EMITL86'
  russian="send 1 14  *$smena_1251 PRINT\$"$'\n'"$levels"
  definition_text СМЕНА ZAŁOGA Смена >"$work/p/HX_RPT.INI"
  site ru_RU.UTF-8 1 "$russian" 'Смена И. ПЕТРОВ   |????  |55 |'
  not_queried 9 1 1251
  # Saved as "Unicode", little- or big-endian: read as the UTF-8 file is.
  for utf16 in 'UTF-16LE \xFF\xFE' 'UTF-16BE \xFE\xFF'; do
    { printf "${utf16#* }"; definition_text СМЕНА ZAŁOGA Смена | iconv -t "${utf16% *}"; } >"$work/p/HX_RPT.INI"
    site ru_RU.UTF-8 1 "$russian" 'Смена И. ПЕТРОВ   |????  |55 |'
    not_queried 9 1 1251
  done
  # A table index it cannot hold would be sent as element 0.
  definition_text СМЕНА ZALOGA Смена Ł1 >"$work/p/HX_RPT.INI"
  site ru_RU.UTF-8 1 "send 1 14  *$smena_1251 PRINT\$"$'\n'"send 1 15  *ZALOGA PRINT\$" \
    'Смена И. ПЕТРОВ   |7     |?? |'
  not_queried 10 2 1251
  definition_text СМЕНА ZALOGA Смена | iconv -t CP1251 >"$work/p/HX_RPT.INI"
  site ru_RU.UTF-8 0 "send 1 14  *$smena_1251 PRINT\$"$'\n'"send 1 15  *ZALOGA PRINT\$"$'\n'"$levels" \
    "$(printf 'Смена И. ПЕТРОВ   |7     |55 |' | iconv -t CP1251)"
  definition_text СМЕНА ZAŁOGA Zmiana >"$work/p/HX_RPT.INI"
  site pl_PL.UTF-8 1 "send 1 15  *$(printf 'ZAŁOGA' | iconv -t CP1250) PRINT\$"$'\n'"$levels" \
    'Zmiana ??????????  |12    |55 |'
  # Mostly UTF-8 with one stray byte: read byte for byte, and the checker says so.
  { printf '; \xFF\r\n'; definition_text СМЕНА ZALOGA Смена; } >"$work/p/HX_RPT.INI"
  LC_ALL=ru_RU.UTF-8 run "$work/p" HX_CHECK.exe
  expect_status 1 "$work/p"
  grep -q 'HX_RPT.INI:1: warning: column 3 holds a byte that is not UTF-8, although 10 characters' \
    "$work/p/out.txt" || fail "no warning: $(cat "$work/p/out.txt")"
  ;;

vendor_faults)
  # What a library does at the 4th of six number queries, or at any call.
  # One that crashes, never returns or writes far past its reply buffer
  # costs the values from there on: the first three, fills for the rest,
  # one message, exit status 1.  A reply length below 0 is no reply: the
  # fill, not the FALSE text.  What an ordinary library may do in a window
  # program (talk on standard output or error, read standard input, start
  # a helper with inherited handles that lives on) costs nothing: every
  # value, exit status 0, nothing on standard error, and a pipe on the
  # program's output closes with it.  A LUMOMWD that fails costs the
  # conversions alone.  Either way the next start runs.
  plant=$'^V1=11\n^V2=22\n^V3=33\n^V4=44\n^V5=55\n^V6=66\n'
  program_folder "$work/p"
  printf '[SETUP]\r\nLOGIT=TRUE\r\nLOGFILENAME=R.LOG\r\nPortraitLines=60\r\n[CONTROLLERS]\r\n1=P\r\n2=Q\r\n[TAGS]\r\n' >"$work/p/HX_RPT.INI"
  for i in 1 2 3 4 5 6; do printf '%s 1 IV V%s 2 0\r\n' $i $i >>"$work/p/HX_RPT.INI"; done
  printf '7 2 SV ALARM 4 NONE\r\n[REPORT]\r\n\\1 \\2 \\3 \\4 \\5 \\6 \\7   END\r\n' >>"$work/p/HX_RPT.INI"
  failed='11 22 33 ?? ?? ?? ???? END'
  all='11 22 33 44 55 66 LOW  END'
  # name | P's settings | Q's settings | environment | the log | messages "in:" | seconds
  rows=(
    "crash|@crash=4|@replylen=-1||$failed|SendRecv|2"
    "hang|@hang=4|@replylen=-1|HX_VENDOR_BOUND_MS=1500|$failed|SendRecv|10"
    "overrun|@overrun=4|@replylen=-1||$failed|SendRecv|2"
    "standard output|@stdout=chatter|||$all||2"
    "standard error|@stderr=chatter|||$all||2"
    "standard input|@stdin=1|||$all||2"
    "helper|@helper=30|||$all||2"
    "crash after a helper|@helper=30\n@crash=2|||11 ?? ?? ?? ?? ?? ???? END|SendRecv|2"
    "LUMOMWD crash|||LUMOMWD_CRASH=2|11 ?? ?? ?? ?? ?? LOW  END|Process_List|2"
  )
  # Under wine the first window program of a session starts the desktop's
  # process, which takes that program's standard error along and outlives
  # it by seconds (on Windows no program starts it).  This start, and the
  # one after each row, keep it started with a file for its standard error
  # rather than the pipe a row reads to its end.
  printf '[P]\n%s[Q]\n*ALARM=LOW\n' "$plant" >"$work/p/LUMOCOM.SIM"
  run "$work/p"
  for row in "${rows[@]}"; do
    IFS='|' read -r name p q env logged in within <<<"$row"
    printf "[P]\n$p\n%s[Q]\n$q\n*ALARM=LOW\n" "$plant" >"$work/p/LUMOCOM.SIM"
    rm -f "$work/p/R.LOG"
    # As a scheduler or a script reads the messages: through a pipe, read to its end.
    began=$(milliseconds)
    (cd "$work/p" && env $env timeout 60 "${emulator[@]}" "$work/p/HX_RPT.exe" 2>&1 ||
      echo "status $?"; echo "ended $(milliseconds)") | cat >"$work/p/err.txt"
    closed=$(milliseconds)
    ended=$(sed -n 's/^ended //p' "$work/p/err.txt")
    status=$(sed -n 's/^status //p' "$work/p/err.txt")
    status=${status:-0}
    sed -i '/^ended /d; /^status /d' "$work/p/err.txt"
    expect_status "$([[ -n $in ]] && echo 1 || echo 0)" "$work/p"
    ((ended - began < within * 1000)) || fail "$name: the run took $((ended - began)) ms"
    ((closed - ended < 2000)) || fail "$name: the pipe stayed open $((closed - ended)) ms after the end"
    printf '%s\r\n' "$logged" | cmp - "$work/p/R.LOG" || fail "$name: logged $(cat "$work/p/R.LOG")"
    if [[ -n $in ]]; then
      expect_err "$work/p" "$(error_handler 49 "Vendor library failed in: $in")"
    else
      [[ ! -s $work/p/err.txt ]] || fail "$name: standard error: $(cat "$work/p/err.txt")"
    fi
    printf '[P]\n%s[Q]\n*ALARM=LOW\n' "$plant" >"$work/p/LUMOCOM.SIM"
    run "$work/p"
    expect_status 0 "$work/p"
  done
  ;;

responsive_window)
  # While a controller takes 3 s to answer, the window answers the system.
  program_folder "$work/p"
  printf '[SLOW]\n@latency_ms=3000\n' >"$work/p/LUMOCOM.SIM"
  printf '[SETUP]\r\nSHOWIT=TRUE\r\n[CONTROLLERS]\r\n1=SLOW\r\n' >"$work/p/HX_RPT.INI"
  start "$work/p"
  seen=$(find_main probe)
  wait "$started" || status=$?
  grep -q '^answered: 10 of 10$' <<<"$seen" || fail "the window did not answer: $seen"
  ;;

log_held_before_the_run)
  # A spreadsheet has the log open, sharing it for reading only, when the
  # run begins, and lets go of it 3 s later: the report waits for it and
  # reaches the log whole.
  reference_log
  program_folder "$work/p" SHOWIT=FALSE
  other_program held share-read "$(windows_path "$work/p/HX_RPT.LOG")" 3000
  run "$work/p"
  expect_status 0 "$work/p"
  [[ ! -s $work/p/err.txt ]] || fail "standard error: $(cat "$work/p/err.txt")"
  expect_reference_log "$work/p/HX_RPT.LOG"
  ;;

log_held_for_a_moment)
  # A scanner takes the log for 300 ms as soon as the first line is in
  # it.  A long report, so that the scanner comes before its end; when it
  # came too late all the same (a busy machine), the run is made again.
  more_report=$(for n in $(seq 300); do echo "line $n of a long report"; done)
  reference_log
  program_folder "$work/p" SHOWIT=FALSE
  for attempt in 1 2 3; do
    rm -f "$work/p/HX_RPT.LOG"
    other_program watching share-read "$(windows_path "$work/p/HX_RPT.LOG")" 300 0
    run "$work/p"
    wait "$other" || fail "other_program: $(cat "$work/other.txt")"
    other=
    held_at=$(tr -d '\r' <"$work/other.txt" | sed -n 's/^held at //p')
    if ((held_at < $(stat -c %s "$work/reference.log"))); then break; fi
    ((attempt < 3)) || fail "the scanner never came before the end of the run"
  done
  expect_status 0 "$work/p"
  [[ ! -s $work/p/err.txt ]] || fail "standard error: $(cat "$work/p/err.txt")"
  expect_reference_log "$work/p/HX_RPT.LOG"
  ;;

log_held_past_the_bound)
  # A log left open in a spreadsheet: after waiting 10 s in all, the log
  # channel fails once, as a locked file, and the run ends soon after.
  program_folder "$work/p" SHOWIT=FALSE
  other_program held share-read "$(windows_path "$work/p/HX_RPT.LOG")" 60000
  began=$(milliseconds)
  run "$work/p"
  took=$(($(milliseconds) - began))
  expect_status 1 "$work/p"
  expect_err "$work/p" "HX_RPT Error Handler: Error: 70  Could not write to: $(windows_path "$work/p")\\HX_RPT.LOG
Permission denied in: LogPrint"
  grep -q "^HX_RPT: another program holds .*HX_RPT.LOG" "$work/p/err.txt" ||
    fail "standard error does not say that another program holds the log: $(cat "$work/p/err.txt")"
  ((took >= 10000 && took <= 14000)) || fail "the run took $took ms"
  ;;

log_on_a_full_disk)
  # A disk that fills up in the middle of a line: the log keeps whole lines
  # only, and the failure is reported.
  mkdir "$work/full"
  if ! mount -t tmpfs -o size=4k tmpfs "$work/full" 2>/dev/null; then
    echo "skipped: a small tmpfs cannot be mounted here (it takes root, outside a container that forbids mounting)"
    exit 77
  fi
  mounted=$work/full
  reference_log
  old=$(head -c 3900 /dev/zero | tr '\0' o)$'\r'
  printf '%s\n' "$old" >"$work/full/HX_RPT.LOG"
  program_folder "$work/p" SHOWIT=FALSE "LOGFILEPATH=Z:$work/full"
  run "$work/p"
  expect_status 1 "$work/p"
  expect_err "$work/p" "HX_RPT Error Handler: Error: 61  Could not write to: Z:$work/full\\HX_RPT.LOG
Disk full in: LogPrint"
  size=$(stat -c %s "$work/full/HX_RPT.LOG")
  tail -c +$((${#old} + 2)) "$work/full/HX_RPT.LOG" >"$work/new.log"
  lines=$(wc -l <"$work/new.log")
  ((lines > 0)) || fail "not one line of the report reached the log"
  cmp <(masked "$work/new.log") <(head -n "$lines" "$work/reference.log") ||
    fail "the log does not end with whole lines of the report: $(tail -c 200 "$work/full/HX_RPT.LOG" | od -c)"
  next=$(sed -n "$((lines + 1))p" "$work/reference.log" | wc -c)
  ((size + next > 4096)) || fail "the log stopped where the next line still fitted"
  ;;

single_copy_name_held)
  # A program, such as a copy under another account or in another session,
  # that holds the machine-wide name makes this start the second copy.
  program_folder "$work/p" SHOWIT=FALSE
  other_program held name 'Global\HX_RPT' 60000
  run "$work/p"
  expect_status 2 "$work/p"
  [[ ! -s $work/p/err.txt ]] || fail "the second copy said: $(cat "$work/p/err.txt")"
  [[ ! -e $work/p/HX_RPT.LOG ]] || fail "the second copy wrote a log"
  ;;

lumocom_only_in_current_folder)
  # A LumoCom.dll in the folder the program is started from, but not beside
  # it, is never loaded: as if there were none.
  program_folder "$work/p" SHOWIT=FALSE
  mkdir "$work/current"
  mv "$work/p/LumoCom.dll" "$work/current/"
  from=$work/current run "$work/p"
  expect_status 1 "$work/p"
  one=$(error_handler 53 "File not found in: GetHandle")
  expect_err "$work/p" "$one
$one
$one"
  ;;

window_cannot_be_made)
  # On a desktop whose window the system cannot make (here: wine may not
  # start the program that makes it), the report still reaches the log, and
  # every message standard error; the program ends by itself with status 1.
  reference_log
  program_folder "$work/p" SHOWIT=TRUE
  sed -i 's/^3=RESERVOIR.*/&\n4=NOWHERE/' "$work/p/HX_RPT.INI"
  # The system's own desktop is up before wine is told to make no other.
  "${emulator[@]}" "$HX_OTHER_PROGRAM" >/dev/null 2>&1 || true
  status=0
  (cd "$work/p" && WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d;explorer.exe=d' \
    timeout 60 "${emulator[@]}" "$HX_OTHER_PROGRAM" on-desktop "hx_no_windows_$$" \
    "$(windows_path "$work/p/HX_RPT.exe")" >"$work/p/out.txt" 2>"$work/p/err.txt") || status=$?
  expect_status 1 "$work/p"
  grep -q '^HX_RPT: Main: .*; the report goes on without the window' "$work/p/err.txt" ||
    fail "standard error does not say why there is no window: $(cat "$work/p/err.txt")"
  expect_err "$work/p" "Communication Error Message: Controller 'NOWHERE' Not Found.
No controller of that name is known."
  expect_reference_log "$work/p/HX_RPT.LOG"
  ;;

manifest)
  # Each program carries the manifest, as written, where the system reads
  # it when it starts the program.
  for program in HX_RPT.exe HX_VENDOR.exe HX_CHECK.exe; do
    "${emulator[@]}" "$HX_OTHER_PROGRAM" manifest "$(windows_path "$HX_WIN_BIN/$program")" \
      >"$work/manifest.xml" || fail "$program: no manifest"
    cmp "$work/manifest.xml" "$HX_SOURCE_DIR/src/win32/program.manifest" ||
      fail "$program carries another manifest: $(cat "$work/manifest.xml")"
  done
  if command -v xmllint >/dev/null; then
    xmllint --noout "$work/manifest.xml" || fail "the manifest is not well-formed XML"
  fi
  ;;

long_path)
  # A log folder whose path is longer than 260 characters.  (Wine itself
  # cannot start a 64-bit program from a folder that deep.)
  deep=$work
  while ((${#deep} < 300)); do deep=$deep/a_folder_of_the_plant_archive; done
  mkdir -p "$deep"
  program_folder "$work/p" SHOWIT=FALSE "LOGFILEPATH=Z:$deep"
  run "$work/p"
  expect_status 0 "$work/p"
  grep -q 'Pump 1 \.* RUNNING' "$deep/HX_RPT.LOG" || fail "no values in the log"
  ;;

*)
  fail "no such case"
  ;;
esac
echo "passed: $case_name"
