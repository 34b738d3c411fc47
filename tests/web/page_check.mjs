// The real pages in headless Chromium: each program's page starts, draws frames under real DOM
// key and mouse events, and shows no error; its frame times and its start are measured.
//   DEMO_WEB_TOOLS=FOLDER [DEMO_NATIVE_BUILD=BUILD] node page_check.mjs SITE_FOLDER [PROGRAM...]
// FOLDER holds node_modules with puppeteer-core (npm install --prefix FOLDER puppeteer-core).
// With the native build (its bin/demo-run and Resource), each program's frame times are
// taken natively too, in the same run, and a damaged data file must bring the same box in
// the page as natively.
// Prints one line per check and a table of frame times; exits 1 when a check fails.
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import zlib from 'node:zlib';
import { createRequire } from 'node:module';
import { execFileSync } from 'node:child_process';
import os from 'node:os';

const puppeteer = createRequire(path.join(path.resolve(process.env.DEMO_WEB_TOOLS || '.'), 'x'))('puppeteer-core');

const site = path.resolve(process.argv[2] || 'build-web/site');
const only = process.argv.slice(3);

const kStartLimitMs = 3000;     // first frame after the page starts loading
const kSettleMs = 1500;         // frames drawn before anything is measured
const kTimingMs = 4000;         // how long frame times are sampled
const kFrameWaitMs = 20000;     // the longest wait for a frame before the page is given up
const kHoldMs = 1500;           // how long a held key is held
const kMaxWasmBytes = 2 << 20;  // the page weight of a program's code

// ---- a static server on 127.0.0.1, started and stopped here
const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm', '.css': 'text/css',
                '.png': 'image/png', '.data': 'application/octet-stream' };
const server = http.createServer((request, response) => {
  const file = path.join(site, decodeURIComponent(new URL(request.url, 'http://x').pathname));
  if (!file.startsWith(site) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
    response.writeHead(404).end();
    return;
  }
  response.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream' });
  fs.createReadStream(file).pipe(response);
});
await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
const origin = `http://127.0.0.1:${server.address().port}`;

// ---- pixels of a screenshot (8-bit RGB or RGBA PNG, as Chromium writes them)
function decodePng(bytes) {
  const buffer = Buffer.from(bytes);
  const width = buffer.readUInt32BE(16), height = buffer.readUInt32BE(20);
  const channels = { 2: 3, 6: 4 }[buffer[25]];
  const chunks = [];
  for (let at = 8; at < buffer.length;) {
    const length = buffer.readUInt32BE(at), type = buffer.toString('ascii', at + 4, at + 8);
    if (type === 'IDAT') chunks.push(buffer.subarray(at + 8, at + 8 + length));
    at += 12 + length;
  }
  const raw = zlib.inflateSync(Buffer.concat(chunks));
  const stride = width * channels, pixels = Buffer.alloc(stride * height);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)], row = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    for (let x = 0; x < stride; ++x) {
      const a = x >= channels ? pixels[y * stride + x - channels] : 0;
      const b = y > 0 ? pixels[(y - 1) * stride + x] : 0;
      const c = x >= channels && y > 0 ? pixels[(y - 1) * stride + x - channels] : 0;
      const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
      const predictor = [0, a, b, (a + b) >> 1, pa <= pb && pa <= pc ? a : pb <= pc ? b : c][filter];
      pixels[y * stride + x] = (row[x] + predictor) & 0xff;
    }
  }
  return { width, height, channels, pixels };
}

// The share of pixels whose colour differs by more than a little between two pictures.
function changedShare(first, second) {
  let changed = 0;
  const count = first.width * first.height;
  for (let i = 0; i < count; ++i) {
    let difference = 0;
    for (let c = 0; c < 3; ++c) difference += Math.abs(first.pixels[i * first.channels + c] - second.pixels[i * second.channels + c]);
    if (difference > 24) ++changed;
  }
  return changed / count;
}

function meanBrightness(picture) {
  let sum = 0;
  for (let i = 0; i < picture.width * picture.height; ++i)
    for (let c = 0; c < 3; ++c) sum += picture.pixels[i * picture.channels + c];
  return sum / (picture.width * picture.height * 3);
}

// ---- the checks
const browser = await puppeteer.launch({
  executablePath: '/usr/bin/chromium', headless: 'new',
  args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--window-size=1000,900'] });
// Every program of the site: a folder with its NAME.wasm, but the runner's.
const programs = fs.readdirSync(site)
  .filter((name) => name !== 'demo-run' && fs.existsSync(path.join(site, name, `${name}.wasm`)))
  .filter((name) => only.length === 0 || only.includes(name));
if (programs.length === 0) {
  console.log(`FAIL no program pages in ${site}`);
  process.exit(1);
}
let failures = 0;
const timings = [];

function check(name, what, passed, detail = '') {
  console.log(`${passed ? 'ok  ' : 'FAIL'} ${name}: ${what}${detail ? ` (${detail})` : ''}`);
  if (!passed) ++failures;
}

const nativeBuild = process.env.DEMO_NATIVE_BUILD ? path.resolve(process.env.DEMO_NATIVE_BUILD) : null;
const kNativeFrames = 300;

// demo-run's "timing frames=N median_ms=M p95_ms=P" for the program, natively.
function nativeTiming(name) {
  if (nativeBuild === null) return null;
  const out = execFileSync(path.join(nativeBuild, 'bin', 'demo-run'), [name, '--frames', String(kNativeFrames), '--timing'],
                           { cwd: path.join(nativeBuild, 'bin'), encoding: 'utf8' });
  const match = /median_ms=([\d.]+) p95_ms=([\d.]+)/.exec(out);
  return match ? { median: Number(match[1]), p95: Number(match[2]) } : null;
}

// The boxes demo-run reports natively for the program when the data file is damaged alike.
function nativeBoxes(name, damaged) {
  const copy = fs.mkdtempSync(path.join(os.tmpdir(), 'web-check-'));
  try {
    fs.cpSync(path.join(nativeBuild, 'Resource'), copy, { recursive: true });
    fs.writeFileSync(path.join(copy, damaged), 'this is not a file of its kind\n');
    const out = execFileSync(path.join(nativeBuild, 'bin', 'demo-run'), [name, '--frames', '3', '--text', '--resources', copy],
                             { cwd: path.join(nativeBuild, 'bin'), encoding: 'utf8' });
    return [...out.matchAll(/^frame \d+ box "(.*)" "(.*)"$/gm)].map((m) => [m[1], m[2].replaceAll('\\\\', '\\')]);
  } finally {
    fs.rmSync(copy, { recursive: true, force: true });
  }
}

// A damaged data file of each program that reads one, and the page's file system path of it.
const kDamaged = { glasshall: 'MD2Model/yoshi/yoshi.md2', halfspace: 'mouse.x' };

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

for (const name of programs) {
  const page = await browser.newPage();
  await page.setViewport({ width: 1000, height: 900 });
  const errors = [];
  page.on('console', (message) => { if (message.type() === 'error') errors.push(message.text()); });
  page.on('pageerror', (error) => errors.push(error.message));
  const frames = () => page.evaluate(() => Module.demoFrames);
  const texts = () => page.evaluate(() => Module.demoTexts);
  const canvas = async () => decodePng(await (await page.$('#canvas')).screenshot({ type: 'png' }));
  const framesAfter = async (count) => {
    const target = (await frames()) + count;
    await page.waitForFunction((n) => Module.demoFrames >= n, { timeout: kFrameWaitMs }, target);
  };

  // The programs read the keyboard and the mouse once a frame, as DirectInput state: a key is
  // held over frames, as a person holds it.
  const tap = async (key) => {
    await page.keyboard.down(key);
    await framesAfter(2);
    await page.keyboard.up(key);
    await framesAfter(2);
  };

  const wasmBytes = fs.statSync(path.join(site, name, `${name}.wasm`)).size;
  check(name, `${name}.wasm is at most ${kMaxWasmBytes >> 20} MB`, wasmBytes <= kMaxWasmBytes, `${(wasmBytes / 1024).toFixed(0)} KB`);
  const started = Date.now();
  await page.goto(`${origin}/${name}/index.html`);
  try {
    await page.waitForFunction(() => window.Module && Module.demoFrames >= 1, { timeout: kFrameWaitMs });
  } catch {
    check(name, 'draws a first frame', false, errors.join('; '));
    await page.close();
    continue;
  }
  const startMs = Date.now() - started;
  check(name, `first frame within ${kStartLimitMs} ms of loading`, startMs <= kStartLimitMs, `${startMs} ms`);
  await sleep(kSettleMs);

  // Frame times from the page's own record of each Present.
  const before = await page.evaluate(() => Module.demoPresentTimes.length);
  await sleep(kTimingMs);
  const times = await page.evaluate((from) => Module.demoPresentTimes.slice(from), before);
  const intervals = times.slice(1).map((t, i) => t - times[i]).sort((a, b) => a - b);
  const at = (share) => intervals[Math.min(intervals.length - 1, Math.floor(share * intervals.length))];
  timings.push({ name, frames: intervals.length, median: at(0.5), p95: at(0.95), startMs, native: nativeTiming(name) });

  await page.focus('#canvas');
  if (name === 'relief') {
    const count = (await texts())['70,10'];
    await page.keyboard.down('KeyW');
    await sleep(kHoldMs);
    await page.keyboard.up('KeyW');
    await framesAfter(2);
    const moved = (await texts())['70,10'];
    check(name, 'W moves the camera and the triangle count changes', count !== undefined && moved !== count,
          `${count} -> ${moved}`);
  }
  if (name === 'glasshall') {
    const shown = await canvas();
    await tap('KeyN');
    await framesAfter(3);
    const share = changedShare(shown, await canvas());
    check(name, 'N changes the character', share > 0.002, `${(100 * share).toFixed(2)}% of the pixels changed`);
  }
  if (name === 'landscaper') {
    // The house stands right of the middle in the first view; picked, it follows the cursor.
    const box = await (await page.$('#canvas')).boundingBox();
    const house = { x: box.x + 575, y: box.y + 255 };
    await page.mouse.move(house.x, house.y);
    await framesAfter(2);
    const unpicked = await canvas();
    await page.mouse.down();
    await framesAfter(2);
    await page.mouse.up();
    await framesAfter(2);
    await page.mouse.move(house.x - 250, house.y + 60, { steps: 10 });
    await framesAfter(4);
    const share = changedShare(unpicked, await canvas());
    check(name, 'a click picks the house and it follows the cursor', share > 0.01,
          `${(100 * share).toFixed(2)}% of the pixels changed`);
  }
  // F1: the wireframe shows the background between the edges.
  const solid = await canvas();
  await tap('F1');
  await framesAfter(3);
  const wire = await canvas();
  const share = changedShare(solid, wire);
  check(name, 'F1 shows the wireframe', share > 0.05,
        `${(100 * share).toFixed(1)}% of the pixels changed, mean ${meanBrightness(solid).toFixed(0)} -> ${meanBrightness(wire).toFixed(0)}`);
  fs.mkdirSync(path.join(site, '..', 'checks'), { recursive: true });
  fs.writeFileSync(path.join(site, '..', 'checks', `${name}-wireframe.png`), await (await page.$('#canvas')).screenshot());

  await page.keyboard.down('Escape');
  let ended = false;
  try {
    await page.waitForFunction(() => window.demoStatus.ended, { timeout: kFrameWaitMs });
    ended = await page.evaluate(() => !document.getElementById('ended').hidden);
  } catch { /* ended stays false */ }
  check(name, 'Escape ends it and the page offers to start it again', ended);
  check(name, 'no error in the console', errors.length === 0, errors.join('; '));

  if (kDamaged[name] && nativeBuild !== null) {
    await page.goto(`${origin}/${name}/index.html?damage=/Resource/${kDamaged[name]}`);
    let boxes = [];
    try {
      await page.waitForFunction(() => document.getElementById('message-box').open, { timeout: kFrameWaitMs });
      boxes = await page.evaluate(() => window.demoStatus.boxes);
    } catch { /* no box came */ }
    const expected = nativeBoxes(name, kDamaged[name]);
    check(name, `a damaged ${kDamaged[name]} brings the box it brings natively`,
          boxes.length > 0 && JSON.stringify(boxes[0]) === JSON.stringify(expected[0]),
          `page ${JSON.stringify(boxes[0])}, native ${JSON.stringify(expected[0])}`);
    // OK answers the box, as on the desktop, and the program goes on to its end.
    await page.click('#message-box button[value=ok]');
  }
  await page.close();
}

// ---- the same state and the same pictures: demo-run in the page beside demo-run natively,
// with the virtual clock, one input script a program (the camera moves and turns, F1 at frame
// 200, then the program's own keys) and captures of a solid and a wireframe frame.
const kStateFrames = 300;
const kSolidFrame = 190;
const kWireFrame = 300;
// glasshall walks backwards: forwards it would pass through its mirror.
const kForward = { glasshall: 'S' };
const commonScript = (name) => [`5 down ${kForward[name] || 'W'}`, `60 up ${kForward[name] || 'W'}`, '70 move 400 300', '71 rdown', '72 move 430 320', '74 rup',
                       '75 down A', '95 up A', '200 down F1', '202 up F1'];
const kOwnKeys = {
  relief: ['120 move 300 400', '121 ldown', '123 lup'],
  flurry: ['120 move 300 400', '121 ldown', '123 lup'],
  drizzle: ['120 move 300 400', '121 ldown', '123 lup'],
  tether: ['110 down LEFT', '150 up LEFT', '155 down HOME', '175 up HOME'],
  halfspace: ['110 down SPACE', '112 up SPACE'],
  landscaper: ['110 move 400 420', '112 down T', '114 up T', '150 move 560 290', '151 ldown', '153 lup',
               '160 move 500 300', '170 rdown', '172 rup'],
  glasshall: ['110 down N', '112 up N', '130 down 2', '132 up 2', '140 down K', '160 up K'],
};
// Regions of the pictures, compared by mean colour as the Windows checks compare theirs.
const kGrid = [8, 6];
const kMeanTolerance = 3;

function regionMeans(picture) {
  const [columns, rows] = kGrid, means = [];
  for (let gy = 0; gy < rows; ++gy) {
    for (let gx = 0; gx < columns; ++gx) {
      const sum = [0, 0, 0];
      let count = 0;
      for (let y = Math.floor(gy * picture.height / rows); y < Math.floor((gy + 1) * picture.height / rows); ++y) {
        for (let x = Math.floor(gx * picture.width / columns); x < Math.floor((gx + 1) * picture.width / columns); ++x) {
          for (let c = 0; c < 3; ++c) sum[c] += picture.pixels[(y * picture.width + x) * picture.channels + c];
          ++count;
        }
      }
      means.push(sum.map((v) => v / count));
    }
  }
  return means;
}

function worstRegion(first, second) {
  const a = regionMeans(first), b = regionMeans(second);
  let worst = 0;
  for (let i = 0; i < a.length; ++i) for (let c = 0; c < 3; ++c) worst = Math.max(worst, Math.abs(a[i][c] - b[i][c]));
  return worst;
}

if (nativeBuild !== null) {
  const runner = await browser.newPage();
  for (const name of programs) {
    const script = [...commonScript(name), ...(kOwnKeys[name] || [])]
      .sort((a, b) => parseInt(a, 10) - parseInt(b, 10)).join('\n') + '\n';
    const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'web-state-'));
    fs.writeFileSync(path.join(scratch, 'input.txt'), script);
    const shots = (folder) => [kSolidFrame, kWireFrame].flatMap((f) => ['--capture', `${f}:${folder}/shot-${f}.png`]);
    const args = [name, '--frames', String(kStateFrames), '--text', '--input'];
    // Natively twice: on desktop GL, and on OpenGL ES as the page draws, whose wireframe is
    // drawn the way WebGL2 allows (edges shaded inside the triangles, no polygon mode).
    const runNative = (profile, folder) => execFileSync(path.join(nativeBuild, 'bin', 'demo-run'),
      [...args, path.join(scratch, 'input.txt'), ...shots(folder)],
      { cwd: path.join(nativeBuild, 'bin'), encoding: 'utf8', env: { ...process.env, DEMO_GL_PROFILE: profile } })
      .split('\n').filter((l) => l !== '');
    fs.mkdirSync(path.join(scratch, 'es'));
    const native = runNative('desktop', scratch);
    const nativeEs = runNative('es', path.join(scratch, 'es'));
    check(name, 'natively, desktop GL and OpenGL ES print the same lines', JSON.stringify(native) === JSON.stringify(nativeEs));
    const query = `args=${encodeURIComponent([...args, 'input.txt', ...shots('/bin')].join(' '))}&input=${encodeURIComponent(script)}`;
    await runner.goto(`${origin}/demo-run/index.html?${query}`);
    let page = [];
    const pictures = {};
    try {
      await runner.waitForFunction(() => window.demoStatus && window.demoStatus.ended, { timeout: 180000 });
      page = (await runner.evaluate(() => window.demoStatus.lines)).filter((l) => l !== '');
      for (const f of [kSolidFrame, kWireFrame])
        pictures[f] = decodePng(Buffer.from(await runner.evaluate((file) => Array.from(FS.readFile(file)), `/bin/shot-${f}.png`)));
    } catch (error) {
      check(name, 'demo-run ends in the page', false, error.message);
      continue;
    }
    const differing = native.map((line, i) => [line, page[i]]).filter(([a, b]) => a !== b);
    check(name, `demo-run --text prints in the page what it prints natively (${native.length} lines)`,
          differing.length === 0 && page.length === native.length,
          differing.length ? `first difference: native ${differing[0][0]} / page ${differing[0][1]}` : `${page.length} lines`);
    for (const f of [kSolidFrame, kWireFrame]) {
      const worst = worstRegion(decodePng(fs.readFileSync(path.join(scratch, `shot-${f}.png`))), pictures[f]);
      const worstEs = worstRegion(decodePng(fs.readFileSync(path.join(scratch, 'es', `shot-${f}.png`))), pictures[f]);
      const wire = f === kWireFrame;
      // The wireframe is compared with the one drawn the same way; desktop GL's lines are
      // thinner, and how much so is said.
      check(name, `frame ${f}${wire ? ' (wireframe)' : ''} looks as natively${wire ? ' on ES' : ''}: every region's mean colour within ${kMeanTolerance}`,
            (wire ? worstEs : worst) <= kMeanTolerance,
            `largest difference ${(wire ? worstEs : worst).toFixed(2)}; against desktop GL ${worst.toFixed(2)}`);
      fs.copyFileSync(path.join(scratch, `shot-${f}.png`), path.join(site, '..', 'checks', `${name}-${f}-native.png`));
      fs.writeFileSync(path.join(site, '..', 'checks', `${name}-${f}-page.png`),
                       Buffer.from(await runner.evaluate((file) => Array.from(FS.readFile(file)), `/bin/shot-${f}.png`)));
    }
    fs.rmSync(scratch, { recursive: true, force: true });
  }
  await runner.close();
}

const size = (name, suffix) => fs.statSync(path.join(site, name, name + suffix)).size;
console.log('\n             browser (SwiftShader)       native (llvmpipe)   first frame  .wasm    .data');
console.log('program      frames  median  p95 ms       median  p95 ms      ms          KB       KB');
for (const t of timings) {
  const native = t.native ? `${t.native.median.toFixed(1).padStart(6)} ${t.native.p95.toFixed(1).padStart(7)}` : '     -       -';
  const data = fs.existsSync(path.join(site, t.name, t.name + '.data')) ? (size(t.name, '.data') / 1024).toFixed(0) : '0';
  console.log(`${t.name.padEnd(12)} ${String(t.frames).padStart(6)} ${t.median.toFixed(1).padStart(7)} ${t.p95.toFixed(1).padStart(7)}      ${native}` +
              `   ${String(t.startMs).padStart(8)} ${(size(t.name, '.wasm') / 1024).toFixed(0).padStart(8)} ${data.padStart(8)}`);
}
await browser.close();
server.close();
process.exit(failures === 0 ? 0 : 1);
