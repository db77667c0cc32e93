#!/usr/bin/env bash
# Writes the example update package example.z3b and the images it lists, next
# to this script: a binary image for "download" and Intel HEX images for each
# HEX kind. The contents are made-up patterns, the same on every run. Files are
# written with CR LF line ends, as packages come from Windows.
set -euo pipefail
cd "$(dirname "$0")"

# byte = the byte of pattern number $1 at index $2.
pattern() {
  byte=$(( ($2 * 31 + $1 * 7 + ($2 >> 8) * $1) & 0xFF ))
}

# One HEX record: load offset, record type, then the data bytes.
record() {
  local offset=$1 type=$2
  shift 2
  local count=$# sum line b
  sum=$(( count + (offset >> 8) + (offset & 0xFF) + type ))
  printf -v line ':%02X%04X%02X' "$count" "$offset" "$type"
  for b in "$@"; do
    printf -v line '%s%02X' "$line" "$b"
    sum=$(( sum + b ))
  done
  printf '%s%02X\r\n' "$line" $(( (256 - (sum & 0xFF)) & 0xFF ))
}

# Data records of `size` bytes each, from `first` to before `end`, of pattern `seed`.
data_records() {
  local seed=$1 first=$2 end=$3 size=$4 offset i
  local -a bytes
  for ((offset = first; offset + size <= end; offset += size)); do
    bytes=()
    for ((i = 0; i < size; i++)); do
      pattern "$seed" $((offset + i))
      bytes+=("$byte")
    done
    record "$offset" 0 "${bytes[@]}"
  done
}

# A 32 KiB image (download_hex, download_hex_prog, download_hex_prog_write):
# 16-byte records after an extended address record, the last one just below
# the offset limit 0x7D80.
image_hex() {
  local seed=$1 length=$2
  record 0 4 0x00 0x00
  data_records "$seed" 0 "$length" 16
  data_records "$seed" $((0x7D70)) $((0x7D80)) 16
  record 0 1
}

image_hex 1 1024 > data.hex
image_hex 2 512 > cpu.hex
image_hex 3 4096 > prog.hex

# The 4 KiB image (download_hex_short): 14-byte and 16-byte records.
{
  record 0 4 0x00 0x00
  data_records 4 0 448 14
  data_records 4 448 4064 16
  record 0 1
} > boot.hex

# The binary image: 40003 bytes, so that its erase takes a block and two
# sectors and its last group of 8 runs past the end of the file.
: > app.bin
chunk=
for ((i = 0; i < 40003; i++)); do
  pattern 5 "$i"
  printf -v chunk '%s\\x%02x' "$chunk" "$byte"
  if (( (i + 1) % 1000 == 0 )); then
    printf "$chunk" >> app.bin
    chunk=
  fi
done
printf "$chunk" >> app.bin

printf '%s\r\n' \
  'download,app.bin,&HE8000' \
  'download_hex,data.hex,&HF8000' \
  'download_hex_prog,cpu.hex,&HF8000' \
  'download_hex_short,boot.hex,&H1F1000' \
  'download_hex_prog_write,prog.hex,&HF8000' > example.z3b
