# Shared by the set-up scripts (sourced, not run): each failure ends the
# script with one sentence saying what is missing and what to do about it.

# fail SENTENCE: prints it, prefixed with the script's name, and exits.
fail() {
    echo "$(basename "$0"): $*" >&2
    exit 1
}

# require_command COMMAND PACKAGE HOW: fails unless COMMAND is on the path.
require_command() {
    command -v "$1" >/dev/null 2>&1 ||
        fail "$1 is missing (Debian package $2): $3"
}

# Any other step that fails names itself.
trap 'status=$?; echo "$(basename "$0"): \"$BASH_COMMAND\" failed with status $status" >&2' ERR
