#!/usr/bin/env bash
# A real print queue for trying File > Print on a machine without a printer:
# installs CUPS and the cups-pdf virtual printer, starts the CUPS daemon and
# makes the "PDF" queue the default. Printed pages land as PDF files in
# ~/PDF (for root: /root/PDF), or where /etc/cups/cups-pdf.conf says.
#
#   scripts/print-queue.sh          set up and start
#   scripts/print-queue.sh stop     stop the daemon again
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" = stop ]; then
    pkill -x cupsd || true
    exit 0
fi

scripts/install-deps.sh cups cups-client cups-bsd printer-driver-cups-pdf
pgrep -x cupsd >/dev/null || /usr/sbin/cupsd
for _ in $(seq 50); do lpstat -r >/dev/null 2>&1 && break; sleep 0.1; done
if ! lpstat -p PDF >/dev/null 2>&1; then
    ppd=$(lpinfo -m | awk '/CUPS-PDF/ {print $1; exit}')
    lpadmin -p PDF -E -v cups-pdf:/ -m "${ppd:-raw}"
fi
lpoptions -d PDF >/dev/null
lpstat -d
echo "Printed reports are written by cups-pdf to: $(sed -n 's/^Out //p' /etc/cups/cups-pdf.conf | head -1)"
