'use strict';
// The page's side of the game: the canvas and its pointer and keys, the
// menu, the clock's timer, and the queue of events. The game (the C++
// program in quorrin.js / quorrin.wasm) calls the methods of Module.page;
// the page never calls the game. What the player does becomes an event in
// a queue that the game takes events from, one at a time, in its main loop
// and in the loops of its dialogs and message boxes. The dialogs are
// page-dialogs.js's, the storage page-storage.js's; index.html loads both
// before this file.
//
// Event kinds and fields, as app/web/web_window_system.h has them.
var Module = (function () {
  const TICK = 1, MOVE = 2, LEFT = 3, RIGHT = 4, RESIZE = 5, COMMAND = 6, CONTROL = 7,
      ANSWER = 8, HIDDEN = 9, KEY = 10;
  const LONG_PRESS_MS = 500;

  const params = new URLSearchParams(location.search);
  // ?clock=manual: the clock ticks only when quorrinTest.tick() says so.
  const manualClock = params.get('clock') === 'manual';

  const canvas = document.getElementById('board');
  const context = canvas.getContext('2d', {alpha: false});
  const menuBar = document.getElementById('menubar');
  const menuButton = document.getElementById('menu-game');
  const menuItems = document.getElementById('menu-items');
  const notice = document.getElementById('notice');
  const importFile = document.getElementById('import-file');
  const addFile = document.getElementById('add-file');
  const decoder = new TextDecoder('shift_jis');

  const queue = [];
  let wake = null;
  let running = false;      // the main window is there
  let timer = null;
  // What the page measures: the first frame and the first dialog (ms after
  // the navigation started), the copies to the canvas, and for each
  // pointer event and resize the time from its handler on the page to the
  // game waiting again, its drawing and copies done (tools/bench-web.py
  // prints them).
  const stats = {firstFrame: 0, firstDialog: 0, puts: 0, putPixels: 0, putTime: 0, latencies: []};
  const inFlight = [];

  const dialogs = pageDialogs({canvas, closeMenu, push, stats});
  const modals = dialogs.modals;

  function push(kind, a = 0, b = 0, c = 0) {
    const since = performance.now();
    if (kind === MOVE || kind === LEFT || kind === RIGHT || kind === RESIZE) {
      inFlight.push([kind, since]);
    }
    // Moves and resizes that the game has not taken yet are replaced by
    // the newer one, as a window system coalesces them.
    const last = queue[queue.length - 1];
    if (last && last[0] === kind && (kind === MOVE || kind === RESIZE)) {
      last[1] = a;
      last[2] = b;
    } else {
      queue.push([kind, a, b, c]);
    }
    if (wake) {
      const w = wake;
      wake = null;
      w();
    }
  }

  // ---- The canvas: the main window's client area ----------------------

  function ratio() {
    return window.devicePixelRatio || 1;
  }
  function clientSize() {
    const r = ratio();
    return [Math.floor(window.innerWidth * r),
            Math.floor((window.innerHeight - menuBar.offsetHeight) * r)];
  }
  // Client pixels of a pointer event.
  function clientPoint(event) {
    const rect = canvas.getBoundingClientRect();
    const sx = rect.width > 0 ? canvas.width / rect.width : 1;
    const sy = rect.height > 0 ? canvas.height / rect.height : 1;
    return [Math.floor((event.clientX - rect.left) * sx + 1e-6),
            Math.floor((event.clientY - rect.top) * sy + 1e-6)];
  }
  function playing() {
    return running && modals.length === 0 && menuItems.hidden;
  }

  let press = null;  // a touch on the board: where, and its long-press timer
  canvas.addEventListener('pointermove', (event) => {
    if (event.pointerType === 'touch') {
      if (press && press.id === event.pointerId &&
          Math.hypot(event.clientX - press.x, event.clientY - press.y) > 10) {
        clearTimeout(press.timer);
        press = null;
      }
      return;
    }
    if (!playing()) return;
    const [x, y] = clientPoint(event);
    push(MOVE, x, y);
  });
  canvas.addEventListener('pointerdown', (event) => {
    canvas.focus({preventScroll: true});
    if (!playing()) return;
    const [x, y] = clientPoint(event);
    if (event.pointerType === 'touch') {
      // A tap is a left click, a long press a right click.
      if (press) clearTimeout(press.timer);
      const p = {id: event.pointerId, x: event.clientX, y: event.clientY, done: false};
      p.timer = setTimeout(() => {
        p.done = true;
        if (!playing()) return;
        push(MOVE, x, y);
        push(RIGHT, x, y);
      }, LONG_PRESS_MS);
      press = p;
      event.preventDefault();
      return;
    }
    if (event.button === 0) {
      push(MOVE, x, y);
      push(LEFT, x, y);
    } else if (event.button === 2) {
      push(MOVE, x, y);
      push(RIGHT, x, y);
    }
  });
  canvas.addEventListener('pointerup', (event) => {
    if (event.pointerType !== 'touch' || !press || press.id !== event.pointerId) return;
    clearTimeout(press.timer);
    const p = press;
    press = null;
    if (p.done || !playing()) return;
    const [x, y] = clientPoint(event);
    push(MOVE, x, y);
    push(LEFT, x, y);
  });
  canvas.addEventListener('pointercancel', () => {
    if (press) clearTimeout(press.timer);
    press = null;
  });
  canvas.addEventListener('contextmenu', (event) => event.preventDefault());
  // The board has the focus already; a dialog the click opened keeps it.
  canvas.addEventListener('mousedown', (event) => event.preventDefault());
  for (const name of ['touchstart', 'touchmove', 'touchend']) {
    canvas.addEventListener(name, (event) => event.preventDefault(), {passive: false});
  }

  let lastSize = [0, 0];
  function resized() {
    // Another pixel ratio at the same device size leaves the canvas as it
    // is for the game; its size on the page changes all the same.
    if (canvas.width > 0) page.sizeCanvasStyle();
    const [w, h] = clientSize();
    if (w !== lastSize[0] || h !== lastSize[1]) {
      lastSize = [w, h];
      push(RESIZE, w, h);
    }
    // The pixel ratio may change just after the resize event (and a change
    // of the ratio alone does not always come as an event): look again.
    setTimeout(() => {
      const [w2, h2] = clientSize();
      if (w2 !== lastSize[0] || h2 !== lastSize[1] ||
          (canvas.width > 0 && canvas.style.width !== canvas.width / ratio() + 'px')) {
        resized();
      }
    }, 50);
  }
  window.addEventListener('resize', resized);
  (function watchRatio() {
    // A move to a screen of another pixel density, or a zoom.
    const query = matchMedia(`(resolution: ${ratio()}dppx)`);
    query.addEventListener('change', () => {
      resized();
      watchRatio();
    }, {once: true});
  })();

  document.addEventListener('visibilitychange', () => {
    if (document.visibilityState === 'hidden') push(HIDDEN);
  });
  window.addEventListener('pagehide', () => push(HIDDEN));

  // ---- The menu ------------------------------------------------------

  function openMenu() {
    if (!running || modals.length) return;
    menuItems.hidden = false;
    menuButton.setAttribute('aria-expanded', 'true');
    const first = menuItems.querySelector('button:not([hidden]):not(:disabled)');
    if (first) first.focus();
  }
  function closeMenu() {
    if (menuItems.hidden) return;
    menuItems.hidden = true;
    menuButton.setAttribute('aria-expanded', 'false');
    canvas.focus({preventScroll: true});
  }
  function choose(item) {
    closeMenu();
    const command = item.dataset.command;
    if (command === 'import') {
      importFile.value = '';
      importFile.click();
    } else if (command === 'add') {
      addFile.value = '';
      addFile.click();
    } else if (/^[0-9]+$/.test(command)) {
      push(COMMAND, Number(command));
    }
  }
  menuButton.addEventListener('click', () => {
    if (menuItems.hidden) openMenu(); else closeMenu();
  });
  menuItems.addEventListener('click', (event) => {
    const item = event.target.closest('button');
    if (item && !item.disabled) choose(item);
  });
  document.addEventListener('pointerdown', (event) => {
    if (!menuItems.hidden && !event.target.closest('.menu')) closeMenu();
  });
  function menuKey(event) {
    const items = Array.from(menuItems.querySelectorAll('button:not([hidden]):not(:disabled)'));
    const at = items.indexOf(document.activeElement);
    if (event.key === 'Escape') {
      closeMenu();
    } else if (event.key === 'ArrowDown' || event.key === 'ArrowUp') {
      const step = event.key === 'ArrowDown' ? 1 : items.length - 1;
      items[(Math.max(at, 0) + step) % items.length].focus();
    } else if (event.key === 'Enter' || event.key === ' ') {
      if (at >= 0) choose(items[at]);
    } else {
      const item = items.find((i) => i.dataset.key === event.key.toLowerCase());
      if (item) choose(item);
      else return;
    }
    event.preventDefault();
  }

  document.addEventListener('keydown', (event) => {
    const top = modals[modals.length - 1];
    if (top) {
      dialogs.dialogKey(event, top);
      return;
    }
    if (!menuItems.hidden) {
      menuKey(event);
      return;
    }
    if ((event.altKey && event.key.toLowerCase() === 'g') || event.key === 'F10') {
      event.preventDefault();
      openMenu();
      return;
    }
    if (!playing() || ['Shift', 'Control', 'Alt', 'Meta'].includes(event.key)) return;
    if (event.target !== canvas && event.target !== document.body) return;
    if (event.altKey || event.metaKey) return;
    push(KEY, event.keyCode, (event.shiftKey ? 1 : 0) | (event.ctrlKey ? 2 : 0), event.repeat ? 1 : 0);
    if (event.key.startsWith('Arrow') || event.key === ' ' || event.key === 'Enter' || event.ctrlKey) {
      event.preventDefault();
    }
  });

  // ---- Storage -------------------------------------------------------

  const storage = pageStorage({addFile, importFile, decoder, onAdded(added) {
    if (added && playing()) push(COMMAND, 120);
    Module.page.added = (Module.page.added || 0) + added;
  }});

  // ---- What the game calls ------------------------------------------

  const page = {
    stats,
    poll(heap32, out) {
      const event = queue.shift();
      if (!event) return 0;
      heap32[out >> 2] = event[1];
      heap32[(out >> 2) + 1] = event[2];
      heap32[(out >> 2) + 2] = event[3];
      return event[0];
    },
    waitForEvent() {
      if (queue.length) return Promise.resolve();
      if (inFlight.length) {
        const now = performance.now();
        for (const [kind, since] of inFlight) stats.latencies.push([kind, now - since]);
        inFlight.length = 0;
        if (stats.latencies.length > 10000) stats.latencies.splice(0, 5000);
      }
      return new Promise((resolve) => { wake = resolve; });
    },
    sjis(bytes) {
      return decoder.decode(bytes);
    },
    clientSize(heap32, out) {
      const [w, h] = clientSize();
      lastSize = [w, h];
      heap32[out >> 2] = w;
      heap32[(out >> 2) + 1] = h;
    },
    sizeCanvas(width, height) {
      canvas.width = width;
      canvas.height = height;
      page.sizeCanvasStyle();
    },
    sizeCanvasStyle() {
      const r = ratio();
      canvas.style.width = canvas.width / r + 'px';
      canvas.style.height = canvas.height / r + 'px';
    },
    putPixels(heapu8, pointer, x, y, width, height) {
      const start = performance.now();
      const pixels = new Uint8ClampedArray(heapu8.buffer, pointer, width * height * 4);
      context.putImageData(new ImageData(pixels, width, height), x, y);
      const end = performance.now();
      if (!stats.firstFrame) stats.firstFrame = end;
      stats.puts += 1;
      stats.putPixels += width * height;
      stats.putTime += end - start;
    },
    startTimer(milliseconds) {
      page.stopTimer();
      if (!manualClock) timer = setInterval(() => push(TICK), milliseconds);
    },
    stopTimer() {
      if (timer !== null) clearInterval(timer);
      timer = null;
    },
    ...dialogs.methods,
    showMainWindow(shown) {
      running = shown;
      menuButton.disabled = !shown;
      canvas.hidden = !shown;
      if (!shown) {
        closeMenu();
        notice.hidden = false;
        notice.textContent = 'ゲームを終了しました。ページを再読み込みすると続きから遊べます。';
      } else {
        notice.hidden = true;
      }
    },
    enableUndo(undo, redo) {
      menuItems.querySelector('[data-command="124"]').disabled = !undo;
      menuItems.querySelector('[data-command="125"]').disabled = !redo;
    },
    exportSave(path) {
      storage.exportSave(path);
    },
    fileWritten(path) {
      storage.keepSave(path);
    },
  };

  // ---- Start -----------------------------------------------------------

  let ready;
  const runtime = new Promise((resolve) => { ready = resolve; });

  // The game starts with the files kept in the page's storage: the save
  // file and the player's collections.
  function begin(files) {
    notice.hidden = true;
    storage.restore(files);
    Module.callMain([]);
  }

  Promise.all([storage.lock, storage.stored, runtime]).then(([held, files]) => {
    if (held) {
      begin(files);
      return;
    }
    canvas.hidden = true;
    notice.hidden = false;
    notice.textContent = 'quorrin は別のタブで開いています。あちらを閉じると、ここで続きを遊べます。';
    // Once the other tab is gone the game starts here, from what the other
    // one saved.
    storage.waitForLock(begin);
  });

  window.quorrinTest = {
    tick() { push(TICK); },
    pending() { return queue.length; },
    stats,
    page,
  };

  return {
    page,
    canvas,
    onRuntimeInitialized() { ready(); },
    print(text) { console.log(text); },
    printErr(text) { console.warn(text); },
  };
})();
