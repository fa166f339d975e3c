#!/usr/bin/env bash
# Writes a book of 100,000 items in folders of ten, a note of about 1 KB each:
# FOLDER/big.iis and its book folder FOLDER/big/.
# Usage: bench/big-book.sh FOLDER
set -euo pipefail
folder="$1"
mkdir -p "$folder/big"
awk 'BEGIN {
  printf "|0\\big book=a1+root|";
  for (i = 2; i <= 100000; i++) {
    if ((i - 2) % 10 == 0) { printf "a1\\folder %d=a%d+fclose|", i, i; folder = i }
    else printf "a%d\\item %d=a%d+richtxt|", folder, i, i;
  }
  printf "\r\n";
}' > "$folder/big.iis"
note="{\\rtf1\\ansi\\ansicpg932 $(head -c 1000 /dev/zero | tr '\0' 'x')}"
(cd "$folder/big" && for i in $(seq 1 100000); do printf '%s' "$note" > "a$i.rtf"; done)
