// The page around one program: its canvas, the data it preloads, message boxes as a modal
// dialog, and what the page says when the program ends. Loaded before PROGRAM.data.js,
// fonts.data.js and PROGRAM.js, which read the Module object set up here.
'use strict';

(function () {
  const page = document.body.dataset;
  const status = document.getElementById('status');
  const dialog = document.getElementById('message-box');
  const canvas = document.getElementById('canvas');

  // What the page's checks read: whether the program runs, how many frames it presented,
  // the lines it printed and every error.
  window.demoStatus = { started: false, ended: false, exitCode: null, errors: [], lines: [] };

  function say(text) { status.textContent = text; }

  function fail(text) {
    window.demoStatus.errors.push(text);
    console.error(text);
    say(text);
  }

  // The right button drags the view: the context menu would take its release.
  canvas.addEventListener('contextmenu', (event) => event.preventDefault());
  canvas.addEventListener('mousedown', () => canvas.focus());
  canvas.addEventListener('webglcontextlost', () => fail(`${page.program}: the browser took its WebGL context away`));

  // ?damage=PATH: the checks replace one data file of the page's file system with bytes of
  // no file kind before the program starts, to see the program's own complaint about it.
  const damaged = new URLSearchParams(location.search).get('damage');

  window.Module = {
    canvas,
    // The fonts are one package for every page, beside the pages' folders.
    locateFile: (path, prefix) => (path === 'fonts.data' ? '../fonts.data' : prefix + path),
    arguments: (new URLSearchParams(location.search).get('args') || '').split(' ').filter((a) => a !== ''),
    // The programs read "..\Resource\" from the folder they run in, as in build/bin natively.
    // ?input=TEXT: the runner's input script, as /bin/input.txt.
    preRun: [() => {
      FS.mkdir('/bin');
      FS.chdir('/bin');
      const input = new URLSearchParams(location.search).get('input');
      if (input !== null) FS.writeFile('/bin/input.txt', input);
    }],
    noInitialRun: damaged !== null,
    onRuntimeInitialized: () => {
      window.demoStatus.started = true;
      say('');
      canvas.focus();
      if (damaged !== null) {
        FS.writeFile(damaged, 'this is not a file of its kind\n');
        Module.callMain(Module.arguments);
      }
    },
    print: (line) => { window.demoStatus.lines.push(line); console.log(line); },
    printErr: (line) => { window.demoStatus.lines.push(line); console.warn(line); },
    onAbort: (what) => fail(`${page.program} stopped: ${what}`),
    onExit: (code) => {
      window.demoStatus.ended = true;
      window.demoStatus.exitCode = code;
      document.getElementById('ended').hidden = false;
    },
    setStatus: (text) => { if (!window.demoStatus.started) say(text || 'Loading...'); },
    // A modal box: the program waits in its own loop until a button answers it.
    showMessageBox: (caption, text, buttons, answer) => {
      const MB_OKCANCEL = 1, IDOK = 1, IDCANCEL = 2;
      dialog.querySelector('h2').textContent = caption;
      dialog.querySelector('p').textContent = text;
      dialog.querySelector('.cancel').hidden = buttons !== MB_OKCANCEL;
      window.demoStatus.lines.push(`box "${caption}" "${text}"`);
      window.demoStatus.boxes = (window.demoStatus.boxes || []).concat([[caption, text]]);
      dialog.onclose = () => answer(dialog.returnValue === 'cancel' ? IDCANCEL : IDOK);
      dialog.showModal();
    },
    demoFrames: 0,
    demoTexts: {},        // "x,y": text of the last frame presented
    demoDrawing: {},      // the same for the frame being drawn
    demoPresentTimes: [], // performance.now() of each Present
  };

  document.getElementById('again').addEventListener('click', () => location.reload());
  window.addEventListener('error', (event) => {
    // How a program that ended inside a wait for the browser unwinds: not a fault.
    if (event.error && event.error.name === 'ExitStatus') {
      event.preventDefault();
      return;
    }
    fail(`${event.message}`);
  });
})();
