#!/bin/sh
# Usage: man-page-options.sh PROGRAM MAN_PAGE
# Fails unless the long options that "PROGRAM --help" lists and those the man page's
# option list (the tagged paragraphs) describes are the same.
set -eu
from_help=$("$1" --help | sed -n 's/^  \(-[A-Za-z],\)\{0,1\}--\([a-z][a-z-]*\).*/\2/p' | sort)
from_page=$(sed -n '/^\.TP$/{n;p;}' "$2" | sed 's/\\-/-/g' |
  sed -n 's/.*--\([a-z][a-z-]*\).*/\1/p' | sort)
if [ "$from_help" != "$from_page" ]; then
  echo "--help lists:" $from_help
  echo "$2 lists:" $from_page
  exit 1
fi
echo "both list:" $from_help
