# Sourced by the check scripts: check WHAT COMMAND... runs the command and
# counts it in passed or failed, printing "ok: WHAT" or "FAILED: WHAT".
passed=0
failed=0

check() {
  local what=$1
  shift
  if "$@"; then
    echo "ok: $what"
    passed=$((passed + 1))
  else
    echo "FAILED: $what"
    failed=$((failed + 1))
  fi
}
