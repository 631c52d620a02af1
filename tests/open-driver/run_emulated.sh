#!/bin/sh
# Runs a test program under umockdev's preload library. In a sanitizer build the preload comes
# before the AddressSanitizer runtime, which the runtime accepts once told not to check the order.
ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0"
export ASAN_OPTIONS
exec umockdev-wrapper "$@"
