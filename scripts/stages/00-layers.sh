# Each folder includes only what its layer may see; window-system headers
# stay inside their backends.
set -euo pipefail
. "$(dirname "$0")/../lib.sh"
python3 "$ROOT/scripts/check_layers.py" "$ROOT"
