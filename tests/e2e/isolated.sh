# Sourced first by the end-to-end tests that start tavrorun. tavrorun allows one launcher per machine
# for root (a lock file in /run), so such a test runs itself again in a mount namespace of its own
# with a private /run (writable by root alone, as the real one), where it meets neither a launcher
# running on this machine (the demo, say) nor another test. Where no namespace can be made and a
# launcher runs, the test is skipped (exit 77) with the reason.
if [[ -z "${TAVRO_E2E_ISOLATED:-}" ]]; then
  export TAVRO_E2E_ISOLATED=1
  private_lock='mount -t tmpfs -o mode=755 tavro-e2e /run && exec bash "$0" "$@"'
  if unshare -m true 2>/dev/null; then
    exec unshare -m bash -c "$private_lock" "$0" "$@"
  elif unshare -rm true 2>/dev/null; then
    exec unshare -rm bash -c "$private_lock" "$0" "$@"
  elif pgrep -x tavrorun >/dev/null 2>&1; then
    echo "SKIP: a tavrorun runs on this machine and no mount namespace can be made here to keep this test apart from it"
    exit 77
  fi
fi
