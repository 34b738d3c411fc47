#!/usr/bin/env bash
# The README's table of programs, made from the one table of them (programs/programs.txt).
#   scripts/program-table.sh           writes the table into README.md
#   scripts/program-table.sh --check   fails, saying how, when README.md's table differs
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
exec python3 - "$top" "${1:-}" <<'PY'
import sys
top, mode = sys.argv[1], sys.argv[2]
rows = ['| program | what it shows | its own keys | read first | screenshot |', '|---|---|---|---|---|']
for line in open(f'{top}/programs/programs.txt', encoding='utf-8'):
    if not line.strip() or line.startswith('#'):
        continue
    name, _, _, shows, keys, read_first = [cell.strip() for cell in line.split(' | ')]
    rows.append(f'| `{name}` | {shows} | {keys} | {read_first} | <img src="docs/screenshots/{name}.png" width="200"> |')
readme_path = f'{top}/README.md'
readme = open(readme_path, encoding='utf-8').read().split('\n')
header = rows[0]
if header not in readme:
    sys.exit('README.md has no table of programs (a line "' + header + '")')
start = readme.index(header)
end = start
while end < len(readme) and readme[end].startswith('|'):
    end += 1
if mode == '--check':
    if readme[start:end] != rows:
        for have, want in zip(readme[start:end] + [''] * len(rows), rows):
            if have != want:
                sys.exit(f'README.md\'s table of programs differs from programs/programs.txt:\n  has:    {have}\n  should: {want}\n'
                         'scripts/program-table.sh writes it anew.')
        sys.exit('README.md\'s table of programs has rows programs/programs.txt lacks')
    sys.exit(0)
readme[start:end] = rows
open(readme_path, 'w', encoding='utf-8').write('\n'.join(readme))
PY
