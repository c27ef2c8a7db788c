#!/usr/bin/env bash
# A private CUPS server for tests: its own configuration, spool, logs and
# socket in a folder of the caller's choice; the system's CUPS is never touched.
#
#   cupsprivato.sh avvia CARTELLA [CODA]
#       Starts cupsd with everything under CARTELLA (created if missing),
#       listening only on CARTELLA/cups.sock, with PreserveJobFiles Yes (the
#       spooled documents stay in CARTELLA/spool as dNNNNN-001). Adds a cups-pdf
#       queue CODA (default "Vornel-PDF"), enabled and accepting, and makes it the
#       server's default. Prints, one per line, what a client needs:
#           CUPS_SERVER=CARTELLA/cups.sock
#           CODA=Vornel-PDF
#           SPOOL=CARTELLA/spool
#       Exit status 0 when the queue is ready; otherwise the last lines of the
#       error log go to stderr and the server is stopped again.
#   cupsprivato.sh ferma CARTELLA
#       Stops the server started in CARTELLA (by its pid file) and waits for it.
#
# With CUPSPRIVATO_GUARDIA=PID in the environment the server also stops by
# itself once process PID has ended (a test that crashed leaves nothing behind).
#
# A client then sets CUPS_SERVER to the socket before its first CUPS call, and
# unsets PRINTER and LPDEST (they would override the default queue). A C++
# test can use tests/support/cupsprivato.h, which wraps these two commands.
# lp/lpstat/lpadmin reach the server with "-h CARTELLA/cups.sock".
# Needs the Debian packages cups (cupsd), cups-client and printer-driver-cups-pdf.
set -euo pipefail

comando="${1:-}"
cartella="${2:-}"
coda="${3:-Vornel-PDF}"
if [ -z "$comando" ] || [ -z "$cartella" ]; then
  echo "uso: $0 avvia|ferma CARTELLA [CODA]" >&2
  exit 2
fi
mkdir -p "$cartella"
cartella="$(cd "$cartella" && pwd)"
presa="$cartella/cups.sock"

ferma() {
  if [ -f "$cartella/cupsd.pid" ]; then
    local pid
    pid="$(cat "$cartella/cupsd.pid")"
    if kill -0 "$pid" 2>/dev/null; then
      kill "$pid" 2>/dev/null || true
      for _ in $(seq 1 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.05
      done
      kill -9 "$pid" 2>/dev/null || true
    fi
    rm -f "$cartella/cupsd.pid"
  fi
}

case "$comando" in
  ferma)
    ferma
    exit 0
    ;;
  avvia) ;;
  *)
    echo "comando sconosciuto: $comando" >&2
    exit 2
    ;;
esac

cupsd=/usr/sbin/cupsd
[ -x "$cupsd" ] || { echo "cupsd non installato (pacchetto cups)" >&2; exit 3; }
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
[ -f "$ppd" ] || { echo "printer-driver-cups-pdf non installato" >&2; exit 3; }

ferma
mkdir -p "$cartella"/{etc/ppd,spool/tmp,cache,state/certs,log}
chmod 755 "$cartella" "$cartella/etc" "$cartella/etc/ppd"
# cupsd (as root) runs filters as lp: the spool must be theirs to write.
chmod 1777 "$cartella/spool/tmp"
chmod 710 "$cartella/spool" "$cartella/state/certs" 2>/dev/null || true
if [ "$(id -u)" -eq 0 ]; then
  chgrp lp "$cartella/spool" "$cartella/state/certs" "$cartella/cache" 2>/dev/null || true
  chmod 770 "$cartella/cache"
fi

cat >"$cartella/etc/cupsd.conf" <<EOF
Listen $presa
LogLevel info
MaxLogSize 0
PreserveJobFiles Yes
PreserveJobHistory Yes
Browsing No
BrowseLocalProtocols none
WebInterface No
DefaultAuthType None
DefaultPolicy aperta
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy aperta>
  <Limit All>
    Order deny,allow
    Allow all
  </Limit>
</Policy>
EOF

cat >"$cartella/etc/cups-files.conf" <<EOF
ServerRoot $cartella/etc
RequestRoot $cartella/spool
TempDir $cartella/spool/tmp
CacheDir $cartella/cache
StateDir $cartella/state
ErrorLog $cartella/log/error_log
AccessLog $cartella/log/access_log
PageLog $cartella/log/page_log
FileDevice No
Sandboxing Relaxed
EOF

env -u CUPS_SERVER "$cupsd" -f -c "$cartella/etc/cupsd.conf" -s "$cartella/etc/cups-files.conf" \
  >"$cartella/log/cupsd.out" 2>&1 &
pid_cupsd=$!
echo "$pid_cupsd" >"$cartella/cupsd.pid"
if [ -n "${CUPSPRIVATO_GUARDIA:-}" ]; then
  guardia="$CUPSPRIVATO_GUARDIA"
  (
    while kill -0 "$guardia" 2>/dev/null && kill -0 "$pid_cupsd" 2>/dev/null; do sleep 1; done
    kill "$pid_cupsd" 2>/dev/null || true
  ) </dev/null >/dev/null 2>&1 &
  disown || true
fi

pronto=0
for _ in $(seq 1 200); do
  if [ -S "$presa" ] && lpstat -h "$presa" -r >/dev/null 2>&1; then
    pronto=1
    break
  fi
  kill -0 "$(cat "$cartella/cupsd.pid")" 2>/dev/null || break
  sleep 0.05
done
if [ "$pronto" -ne 1 ]; then
  echo "cupsd privato non partito" >&2
  tail -n 20 "$cartella/log/cupsd.out" "$cartella/log/error_log" >&2 2>/dev/null || true
  ferma
  exit 1
fi

if ! lpadmin -h "$presa" -p "$coda" -E -v cups-pdf:/ -P "$ppd" 2>"$cartella/log/lpadmin.err" ||
   ! lpadmin -h "$presa" -d "$coda" 2>>"$cartella/log/lpadmin.err"; then
  echo "coda $coda non creata:" >&2
  cat "$cartella/log/lpadmin.err" >&2
  ferma
  exit 1
fi

echo "CUPS_SERVER=$presa"
echo "CODA=$coda"
echo "SPOOL=$cartella/spool"
