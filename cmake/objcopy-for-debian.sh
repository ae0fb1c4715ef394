#!/bin/sh
# objcopy as CPack calls it to split the debug symbols off: when it strips a binary, the
# .comment and .note sections go too, as Debian's own tools strip them.
case " $* " in
*" --strip-unneeded "*) exec objcopy --remove-section=.comment --remove-section=.note "$@" ;;
esac
exec objcopy "$@"
