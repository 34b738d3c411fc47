#!/usr/bin/env bash
# Builds every program for the browser (WebAssembly + WebGL2, with Debian's emscripten and
# only the project's own code) into a static site:
#   build-web/site/index.html            the programs with their screenshots and keys
#   build-web/site/NAME/index.html       one page a program: its canvas, NAME.js, NAME.wasm,
#                                        and NAME.data, the data files it reads, preloaded
#   build-web/site/fonts.data            the fonts, cut down to the characters drawn
# Any static web server can host the folder; scripts/serve-web.sh serves it here.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
source "$top/scripts/setup.sh"
demo_install_packages web

# The data files come from the generator of the native build (build/Resource).
if [ ! -f "$top/build/build.ninja" ]; then
  cmake -S "$top" -B "$top/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$top/build" --target resources

web="$top/build-web"
# Debian's emscripten runs its JavaScript tools on this machine's node, which needs to be
# told where Debian keeps their modules.
export NODE_PATH=/usr/share/nodejs
# Only stb's headers may join the include path: the rest of /usr/include is glibc's.
mkdir -p "$web/include"
ln -sfn /usr/include/stb "$web/include/stb"
emcmake cmake -S "$top" -B "$web" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSTB_INCLUDE_DIR="$web/include" >/dev/null
cmake --build "$web"

site="$web/site"
rm -rf "$site"
mkdir -p "$site"
cp "$top/web/shell.js" "$top/web/shell.css" "$site/"
packager=/usr/share/emscripten/tools/file_packager.py
python3 "$packager" "$site/fonts.data" --preload "$web/fonts@/fonts" --js-output="$site/fonts.data.js" >/dev/null

# The pages, from the one table of programs.
python3 - "$top" "$web" "$site" "$packager" <<'PY'
import html, os, re, shutil, subprocess, sys
top, web, site, packager = sys.argv[1:]
resources = os.path.join(top, 'build', 'Resource')
template = open(os.path.join(top, 'web', 'program.html'), encoding='utf-8').read()
cards = []
for line in open(os.path.join(top, 'programs', 'programs.txt'), encoding='utf-8'):
    if not line.strip() or line.startswith('#'):
        continue
    name, data, summary, shows, keys, _ = [cell.strip() for cell in line.split(' | ')]
    # The table is written for the README: its links and code spans become plain text.
    keys = re.sub(r' \(see \[[^]]*\]\([^)]*\)\)', '', keys)
    shows, keys = (cell.replace('`', '') for cell in (shows, keys))
    folder = os.path.join(site, name)
    os.makedirs(folder)
    for suffix in ('.js', '.wasm'):
        shutil.copy(os.path.join(web, 'bin', name + suffix), folder)
    # Only the files the program reads, at /Resource, which "..\Resource\" names from /bin.
    files = [] if data == '-' else data.split()
    preload = []
    for item in files:
        path = os.path.join(resources, item)
        if not os.path.exists(path):
            sys.exit(f'{name} reads {item}, which build/Resource does not have')
        preload += ['--preload', f'{path}@/Resource/{item}']
    data_script = ''
    if preload:
        subprocess.run([sys.executable, packager, os.path.join(folder, name + '.data'), *preload,
                        '--js-output=' + os.path.join(folder, name + '.data.js')], check=True,
                       stdout=subprocess.DEVNULL)
        data_script = f'<script src="{name}.data.js"></script>'

    note = ('F5 saves the scene into the page\'s own files; reloading the page starts again from the '
            'generated scene.') if name == 'landscaper' else ''
    page = (template.replace('@NAME@', name).replace('@SHOWS@', html.escape(shows))
            .replace('@KEYS@', html.escape(keys)).replace('@NOTE@', html.escape(note))
            .replace('@DATA@', data_script))
    open(os.path.join(folder, 'index.html'), 'w', encoding='utf-8').write(page)
    shot = os.path.join(top, 'docs', 'screenshots', name + '.png')
    image = ''
    if os.path.exists(shot):
        shutil.copy(shot, folder)
        image = f'<img src="{name}/{name}.png" alt="{name}">'
    cards.append(f'<a class="card" href="{name}/index.html">{image}<h2>{name}</h2>'
                 f'<p>{html.escape(summary)}</p><p class="keys">{html.escape(keys)}</p></a>')
# The runner's page: demo-run with every data file, driven by its arguments in the address
# (?args=relief --frames 300 --text&input=SCRIPT), as the checks run it beside the native one.
runner = os.path.join(site, 'demo-run')
os.makedirs(runner)
for suffix in ('.js', '.wasm'):
    shutil.copy(os.path.join(web, 'bin', 'demo-run' + suffix), runner)
subprocess.run([sys.executable, packager, os.path.join(runner, 'demo-run.data'), '--preload', resources + '@/Resource',
                '--js-output=' + os.path.join(runner, 'demo-run.data.js')], check=True, stdout=subprocess.DEVNULL)
page = (template.replace('@NAME@', 'demo-run').replace('@SHOWS@', 'The headless runner: any program, run as demo-run runs it.')
        .replace('@KEYS@', 'those of the program it runs').replace('@NOTE@', '')
        .replace('@DATA@', '<script src="demo-run.data.js"></script>'))
open(os.path.join(runner, 'index.html'), 'w', encoding='utf-8').write(page)

index = open(os.path.join(top, 'web', 'index.html'), encoding='utf-8').read()
open(os.path.join(site, 'index.html'), 'w', encoding='utf-8').write(index.replace('@PROGRAMS@', '\n'.join(cards)))
PY
echo "The site is in $site; scripts/serve-web.sh serves it."
