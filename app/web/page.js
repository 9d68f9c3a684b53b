'use strict';
// The page's side of the game: the canvas, the menu, the dialogs and the
// message boxes, the clock's timer, and the page's storage. The game (the
// C++ program in quorrin.js / quorrin.wasm) calls the methods of
// Module.page; the page never calls the game. What the player does becomes
// an event in a queue that the game takes events from, one at a time, in
// its main loop and in the loops of its dialogs and message boxes.
//
// Event kinds and fields, as app/web/web_window_system.h has them.
var Module = (function () {
  const TICK = 1, MOVE = 2, LEFT = 3, RIGHT = 4, RESIZE = 5, COMMAND = 6, CONTROL = 7,
      ANSWER = 8, HIDDEN = 9, KEY = 10;
  const LIST_DOUBLE_CLICK = 2;
  const LONG_PRESS_MS = 500;
  const SAVE_FILE = '/game/quorrin.sav';

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
  let writable = true;      // false while this page must not keep the save: a
                            // second tab, an import waiting for the reload,
                            // a page put in the back-forward cache
  let database = null;
  let lastSerial = 0;       // of the last save kept
  const modals = [];        // open dialogs and message boxes, the top one last
  let dialog = null;        // the open dialog: its element and its list
  // What the page measures: the first frame and the first dialog (ms after
  // the navigation started), the copies to the canvas, and for each
  // pointer event and resize the time from its handler on the page to the
  // game waiting again, its drawing and copies done (tools/bench-web.py
  // prints them).
  const stats = {firstFrame: 0, firstDialog: 0, puts: 0, putPixels: 0, putTime: 0, latencies: []};
  const inFlight = [];

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

  // ---- Dialogs and message boxes ------------------------------------

  function openModal(element) {
    closeMenu();
    const back = document.createElement('div');
    back.className = 'modal-back';
    back.style.zIndex = String(20 + modals.length);
    back.appendChild(element);
    document.body.appendChild(back);
    modals.push({back, element});
    const first = element.querySelector('.list') || element.querySelector('button.default');
    if (first) first.focus();
  }
  function closeModal() {
    const top = modals.pop();
    if (top) top.back.remove();
    const next = modals[modals.length - 1];
    if (next) {
      const focus = next.element.querySelector('.list') || next.element.querySelector('button');
      if (focus) focus.focus();
    } else {
      canvas.focus({preventScroll: true});
    }
  }
  function fromTemplate(id) {
    return document.getElementById(id).content.firstElementChild.cloneNode(true);
  }

  function selectedOf(list) {
    return list ? Number(list.dataset.selected ?? -1) : -1;
  }
  function showSelection(list, index) {
    const lines = list.querySelectorAll('.line');
    if (index < 0 || index >= lines.length) index = -1;
    list.dataset.selected = String(index);
    lines.forEach((line, i) => {
      line.classList.toggle('selected', i === index);
      line.setAttribute('aria-selected', i === index ? 'true' : 'false');
    });
    if (index >= 0) lines[index].scrollIntoView({block: 'nearest'});
  }
  function control(id, notification = 0) {
    push(CONTROL, id, notification, selectedOf(dialog && dialog.list));
  }

  function dialogKey(event, top) {
    if (top.answer) {  // a message box
      if (event.key === 'Enter') {
        const focused = top.element.contains(document.activeElement) &&
            document.activeElement.dataset.answer;
        top.answer(focused !== undefined && focused !== false ? Number(focused) : 1);
      } else if (event.key === 'Escape') {
        top.answer(top.withCancel ? 0 : 1);
      } else {
        return;
      }
      event.preventDefault();
      return;
    }
    const list = dialog && dialog.list;
    if (event.key === 'Enter') {
      const focused = document.activeElement;
      control(focused && focused.tagName === 'BUTTON' ? Number(focused.dataset.control) : 1);
    } else if (event.key === 'Escape') {
      control(2);
    } else if (list && document.activeElement === list &&
               ['ArrowDown', 'ArrowUp', 'Home', 'End', 'PageDown', 'PageUp'].includes(event.key)) {
      const count = list.querySelectorAll('.line').length;
      const lineHeight = list.querySelector('.line') ? list.querySelector('.line').offsetHeight : 20;
      const pageLines = Math.max(1, Math.floor(list.clientHeight / lineHeight) - 1);
      let at = selectedOf(list);
      at = {ArrowDown: at + 1, ArrowUp: at - 1, Home: 0, End: count - 1,
            PageDown: at + pageLines, PageUp: at - pageLines}[event.key];
      showSelection(list, Math.max(0, Math.min(count - 1, at)));
    } else {
      return;
    }
    event.preventDefault();
  }

  document.addEventListener('keydown', (event) => {
    const top = modals[modals.length - 1];
    if (top) {
      dialogKey(event, top);
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

  function openDatabase() {
    return new Promise((resolve) => {
      if (!window.indexedDB) return resolve(null);
      const request = indexedDB.open('quorrin', 1);
      request.onupgradeneeded = () => request.result.createObjectStore('files');
      request.onsuccess = () => resolve(request.result);
      request.onerror = () => resolve(null);
    });
  }
  function storedFiles() {
    return new Promise((resolve) => {
      const files = [];
      if (!database) return resolve(files);
      const cursor = database.transaction('files').objectStore('files').openCursor();
      cursor.onsuccess = () => {
        const c = cursor.result;
        if (!c) return resolve(files);
        files.push([c.key, c.value]);
        c.continue();
      };
      cursor.onerror = () => resolve(files);
    });
  }
  function storeFile(key, bytes) {
    return new Promise((resolve) => {
      if (!database) return resolve(false);
      const transaction = database.transaction('files', 'readwrite');
      transaction.objectStore('files').put(bytes, key);
      transaction.oncomplete = () => resolve(true);
      transaction.onerror = transaction.onabort = () => resolve(false);
    });
  }

  function toBase64(bytes) {
    let text = '';
    for (let i = 0; i < bytes.length; i += 0x8000) {
      text += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
    }
    return btoa(text);
  }
  function fromBase64(text) {
    const raw = atob(text);
    const bytes = new Uint8Array(raw.length);
    for (let i = 0; i < raw.length; ++i) bytes[i] = raw.charCodeAt(i);
    return bytes;
  }
  // The save file's bytes as last written: the newer of the IndexedDB
  // record and the localStorage copy; null when there is none.
  function newestSave(stored) {
    let best = stored && stored.bytes ? stored : null;
    try {
      const copy = JSON.parse(localStorage.getItem('quorrin.sav') || 'null');
      if (copy && (!best || copy.serial > best.serial)) {
        best = {serial: copy.serial, bytes: fromBase64(copy.bytes)};
      }
    } catch (e) {
      // A damaged copy: IndexedDB's.
    }
    return best ? best.bytes : null;
  }

  // Shift_JIS bytes of a text, or null when it has a character Shift_JIS
  // cannot write; the table is the decoder's, read backwards.
  let encodeTable = null;
  function shiftJis(text) {
    if (!encodeTable) {
      encodeTable = new Map();
      for (let b = 0x20; b < 0x7f; ++b) encodeTable.set(String.fromCharCode(b), [b]);
      for (let b = 0xa1; b <= 0xdf; ++b) encodeTable.set(decoder.decode(new Uint8Array([b])), [b]);
      for (let lead = 0x81; lead <= 0xfc; ++lead) {
        // 0xED and 0xEE repeat characters of 0xFA to 0xFC, which Windows
        // writes them as.
        if ((lead >= 0xa0 && lead <= 0xdf) || lead === 0xed || lead === 0xee) continue;
        for (let trail = 0x40; trail <= 0xfc; ++trail) {
          if (trail === 0x7f) continue;
          const c = decoder.decode(new Uint8Array([lead, trail]));
          if (c.length === 1 && c !== '\ufffd' && !encodeTable.has(c)) encodeTable.set(c, [lead, trail]);
        }
      }
    }
    const out = [];
    for (const c of text) {
      const bytes = encodeTable.get(c);
      if (!bytes) return null;
      out.push(...bytes);
    }
    return out;
  }
  // The name a file has in the page's file system (app/web/file_names.h).
  function storedName(bytes) {
    let name = '';
    for (const b of bytes) {
      if (b >= 0x21 && b <= 0x7e && b !== 0x25 && b !== 0x2f && b !== 0x5c) {
        name += String.fromCharCode(b);
      } else {
        name += '%' + b.toString(16).toUpperCase().padStart(2, '0');
      }
    }
    return name;
  }

  // A collection file of the player's: kept when its name is one the
  // game could list (Shift_JIS, ending in ".dat", 5 to 63 bytes).
  async function addCollections(files) {
    let added = 0;
    for (const file of files) {
      const bytes = shiftJis(file.name);
      if (!bytes || bytes.length < 5 || bytes.length > 63 || !file.name.endsWith('.dat')) continue;
      const data = new Uint8Array(await file.arrayBuffer());
      const name = storedName(bytes);
      Module.FS.writeFile('/game/' + name, data);
      await storeFile('dat:' + name, data);
      ++added;
    }
    if (added && playing()) push(COMMAND, 120);
    Module.page.added = (Module.page.added || 0) + added;
  }
  addFile.addEventListener('change', () => addCollections(Array.from(addFile.files)));
  document.addEventListener('dragover', (event) => event.preventDefault());
  document.addEventListener('drop', (event) => {
    event.preventDefault();
    if (event.dataTransfer) addCollections(Array.from(event.dataTransfer.files));
  });

  importFile.addEventListener('change', async () => {
    const file = importFile.files[0];
    if (!file) return;
    // The game now in play must not write over the imported file; the page
    // starts again with it, and the game reads it as a save file it found.
    writable = false;
    const serial = Date.now();
    const bytes = new Uint8Array(await file.arrayBuffer());
    try {
      localStorage.setItem('quorrin.sav', JSON.stringify({serial, bytes: toBase64(bytes)}));
    } catch (e) {
      localStorage.removeItem('quorrin.sav');
    }
    await storeFile('save', {serial, bytes});
    location.reload();
  });

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
    openMessageBox(text, caption, withCancel) {
      const element = fromTemplate('message-box');
      element.querySelector('.caption').textContent = caption;
      element.querySelector('.text').textContent = text;
      if (!withCancel) element.querySelector('[data-answer="0"]').remove();
      openModal(element);
      const top = modals[modals.length - 1];
      top.withCancel = withCancel;
      top.answer = (answer) => {
        if (modals[modals.length - 1] === top && !top.answered) {
          top.answered = true;
          push(ANSWER, answer);
        }
      };
      element.querySelectorAll('[data-answer]').forEach((button) =>
          button.addEventListener('click', () => top.answer(Number(button.dataset.answer))));
    },
    closeMessageBox() {
      closeModal();
    },
    openDialog(id) {
      if (!stats.firstDialog) stats.firstDialog = performance.now();
      const element = fromTemplate('dialog-' + id);
      const list = element.querySelector('.list');
      dialog = {element, list, id};
      element.querySelectorAll('button[data-control]').forEach((button) =>
          button.addEventListener('click', () => control(Number(button.dataset.control))));
      if (list) {
        list.addEventListener('mousedown', (event) => {
          const line = event.target.closest('.line');
          if (line) showSelection(list, Number(line.dataset.index));
        });
        list.addEventListener('dblclick', (event) => {
          const line = event.target.closest('.line');
          if (!line) return;
          showSelection(list, Number(line.dataset.index));
          control(Number(list.dataset.control), LIST_DOUBLE_CLICK);
        });
      }
      openModal(element);
    },
    closeDialog() {
      dialog = null;
      closeModal();
    },
    setControlText(id, text) {
      if (!dialog) return;
      const element = dialog.element.querySelector(`[data-control="${id}"]`);
      if (element) element.textContent = text;
    },
    listBegin(id, stops) {
      const list = dialog && dialog.element.querySelector(`.list[data-control="${id}"]`);
      page.building = {list, stops, lines: []};
    },
    listLine(text) {
      if (page.building) page.building.lines.push(text);
    },
    listEnd() {
      const {list, stops, lines} = page.building || {};
      page.building = null;
      if (!list) return;
      list.textContent = '';
      lines.forEach((text, index) => {
        const line = document.createElement('div');
        line.className = 'line';
        line.setAttribute('role', 'option');
        line.dataset.index = String(index);
        // Tab stops are in dialog units, a quarter of an average character.
        text.split('\t').forEach((part, i) => {
          const span = document.createElement('span');
          span.textContent = part;
          span.style.left = i === 0 ? '3px' : `calc(${stops[Math.min(i, stops.length) - 1] || 0} * 0.13em)`;
          line.appendChild(span);
        });
        list.appendChild(line);
      });
    },
    selectLine(id, index) {
      const list = dialog && dialog.element.querySelector(`.list[data-control="${id}"]`);
      if (list) showSelection(list, index);
    },
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
      // Nothing written yet: nothing to export (and no exception may
      // reach the game).
      let bytes;
      try {
        bytes = Module.FS.readFile(path);
      } catch (e) {
        return;
      }
      const link = document.createElement('a');
      link.href = URL.createObjectURL(new Blob([bytes], {type: 'application/octet-stream'}));
      link.download = 'quorrin.sav';
      document.body.appendChild(link);
      link.click();
      link.remove();
      setTimeout(() => URL.revokeObjectURL(link.href), 10000);
    },
    fileWritten(path) {
      if (!writable || path !== SAVE_FILE) return;
      let bytes;
      try {
        bytes = Module.FS.readFile(path);
      } catch (e) {
        return;
      }
      page.writes = (page.writes || 0) + 1;
      // IndexedDB keeps the save; a write that starts while the page is
      // being closed may not be committed, so a copy goes to localStorage
      // too, which is written at once. The newer of the two is read.
      const serial = lastSerial = Math.max(Date.now(), lastSerial + 1);
      try {
        localStorage.setItem('quorrin.sav', JSON.stringify({serial, bytes: toBase64(bytes)}));
      } catch (e) {
        // No room or no storage: IndexedDB alone.
      }
      storeFile('save', {serial, bytes}).then((ok) => { if (ok) page.stored = (page.stored || 0) + 1; });
    },
  };

  // ---- Start -----------------------------------------------------------

  // One game per browser: the tab that holds the lock plays, another one
  // says so and writes nothing.
  let releaseLock = null;
  function holdLock() {
    return new Promise((release) => { releaseLock = release; });
  }
  const lock = new Promise((resolve) => {
    if (!navigator.locks) return resolve(true);
    navigator.locks.request('quorrin-game', {ifAvailable: true}, (held) => {
      resolve(held !== null);
      return held ? holdLock() : undefined;
    });
  });
  // A page kept in the back-forward cache would hold the lock while it is
  // not shown: it lets it go (its game saved on the way, above), and starts
  // afresh if it is shown again.
  window.addEventListener('pagehide', (event) => {
    if (event.persisted && releaseLock) {
      writable = false;
      releaseLock();
      releaseLock = null;
    }
  });
  window.addEventListener('pageshow', (event) => {
    if (event.persisted) location.reload();
  });
  const stored = openDatabase().then((db) => {
    database = db;
    return storedFiles();
  });
  let ready;
  const runtime = new Promise((resolve) => { ready = resolve; });

  // The game starts with the files kept in the page's storage: the save
  // file and the player's collections.
  function begin(files) {
    writable = true;
    notice.hidden = true;
    let save = null;
    for (const [key, value] of files) {
      if (key === 'save') save = value;
      else if (typeof key === 'string' && key.startsWith('dat:')) Module.FS.writeFile('/game/' + key.slice(4), value);
    }
    const bytes = newestSave(save);
    if (bytes) Module.FS.writeFile(SAVE_FILE, bytes);
    if (navigator.storage && navigator.storage.persist) {
      navigator.storage.persist().then((granted) => { page.persisted = granted; });
    }
    Module.callMain([]);
  }

  Promise.all([lock, stored, runtime]).then(([held, files]) => {
    if (held) {
      begin(files);
      return;
    }
    writable = false;
    canvas.hidden = true;
    notice.hidden = false;
    notice.textContent = 'quorrin は別のタブで開いています。あちらを閉じると、ここで続きを遊べます。';
    // Once the other tab is gone the game starts here, from what the other
    // one saved.
    if (navigator.locks) {
      navigator.locks.request('quorrin-game', () => {
        storedFiles().then(begin);
        return holdLock();
      });
    }
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
