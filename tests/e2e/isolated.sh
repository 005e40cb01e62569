# Sourced first by the end-to-end tests that start tavrorun. tavrorun allows one launcher per machine
# (an abstract UNIX socket lock), so such a test runs itself again in a network namespace of its
# own, where it meets neither a launcher running on this machine (the demo, say) nor another test.
# Where no namespace can be made and a launcher runs, the test is skipped (exit 77) with the reason.
if [[ -z "${TAVRO_E2E_ISOLATED:-}" ]]; then
  export TAVRO_E2E_ISOLATED=1
  if unshare -n true 2>/dev/null; then
    exec unshare -n bash "$0" "$@"
  elif unshare -rn true 2>/dev/null; then
    exec unshare -rn bash "$0" "$@"
  elif pgrep -x tavrorun >/dev/null 2>&1; then
    echo "SKIP: a tavrorun runs on this machine and no network namespace can be made here to keep this test apart from it"
    exit 77
  fi
fi
