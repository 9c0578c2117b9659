#!/usr/bin/env bash
# Starts the printer service with a PDF queue, for the printing tests.
set -uo pipefail

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if ! lpstat -r 2>/dev/null | grep -q "is running"; then
  $sudo mkdir -p /run/cups
  $sudo cupsd || true
  for _ in $(seq 1 50); do
    lpstat -r 2>/dev/null | grep -q "is running" && break
    sleep 0.2
  done
fi
if ! lpstat -p PDF >/dev/null 2>&1; then
  ppd=$(ls /usr/share/ppd/cups-pdf/*.ppd 2>/dev/null | head -n 1)
  $sudo lpadmin -p PDF -E -v cups-pdf:/ ${ppd:+-P "$ppd"} || echo "warning: the PDF queue could not be created"
  $sudo lpadmin -d PDF || true
fi
# The queue turns a job into PostScript with poppler's cairo renderer: the PDF it writes
# then keeps its texts readable (pdftotext), which the printing tests check.
$sudo lpadmin -p PDF -o pdftops-renderer-default=pdftocairo 2>/dev/null || true
lpstat -r 2>/dev/null || echo "warning: the printer service is not running"
exit 0
