#!/usr/bin/env bash
# A private print server for the integration tests, entirely inside one
# folder: its own configuration, spool, logs and unix socket, so that the
# system's own print service is never touched.
#
#   private_cups.sh start DIR [landscape]  start cupsd with the PDF queue HXPDF as default
#   private_cups.sh stop DIR               stop it
#   private_cups.sh wait DIR               wait until no job is pending
#
# Clients reach it with CUPS_SERVER=DIR/cups.sock; every job is written as
# PDF to DIR/out.prn (each job replaces the file).
set -euo pipefail
cmd=$1 dir=$2
here=$(cd "$(dirname "$0")" && pwd)
export CUPS_SERVER=$dir/cups.sock

case $cmd in
start)
  mkdir -p "$dir"/{etc/ppd,spool/tmp,tmp,cache,state,log}
  chmod -R a+rwx "$dir"  # filters may run as another user when started as root
  cat >"$dir/etc/cupsd.conf" <<CONF
Listen $dir/cups.sock
LogLevel warn
WebInterface No
Browsing Off
DefaultAuthType None
MaxJobs 0
PreserveJobHistory No
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order allow,deny
    Allow all
  </Limit>
</Policy>
CONF
  cat >"$dir/etc/cups-files.conf" <<CONF
ServerRoot $dir/etc
RequestRoot $dir/spool
TempDir $dir/tmp
CacheDir $dir/cache
StateDir $dir/state
AccessLog $dir/log/access_log
ErrorLog $dir/log/error_log
PageLog $dir/log/page_log
Printcap $dir/printcap
FileDevice Yes
CONF
  /usr/sbin/cupsd -f -c "$dir/etc/cupsd.conf" -s "$dir/etc/cups-files.conf" \
    >"$dir/log/cupsd.out" 2>&1 &
  echo $! >"$dir/cupsd.pid"
  for _ in $(seq 100); do
    [[ -S $dir/cups.sock ]] && lpstat -r >/dev/null 2>&1 && break
    sleep 0.05
  done
  lpstat -r >/dev/null
  lpadmin -p HXPDF -E -v "file://$dir/out.prn" -P "$here/hx_pdf.ppd"
  lpadmin -d HXPDF
  if [[ ${3:-} == landscape ]]; then
    lpadmin -p HXPDF -o orientation-requested-default=4
  fi
  ;;
wait)
  for _ in $(seq 200); do
    [[ -z $(lpstat -o HXPDF 2>/dev/null) ]] && exit 0
    sleep 0.05
  done
  echo "private_cups: jobs still pending" >&2
  exit 1
  ;;
stop)
  if [[ -f $dir/cupsd.pid ]]; then
    pid=$(cat "$dir/cupsd.pid")
    kill "$pid" 2>/dev/null || true
    kill -CONT "$pid" 2>/dev/null || true  # a paused server ends only once it runs again
    for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
    rm -f "$dir/cupsd.pid"
  fi
  ;;
esac
