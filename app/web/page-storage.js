'use strict';
// The page's storage: the save file in IndexedDB with a copy in
// localStorage, the Web Lock that lets one tab at a time play, the export
// and import of the save, and the player's own collection (.dat) files.
// page.js calls pageStorage() once; the game's file writes reach it
// through Module.page.
function pageStorage({addFile, importFile, decoder, onAdded}) {
  const SAVE_FILE = '/game/quorrin.sav';
  let writable = true;      // false while this page must not keep the save: a
                            // second tab, an import waiting for the reload,
                            // a page put in the back-forward cache
  let database = null;
  let lastSerial = 0;       // of the last save kept

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
    onAdded(added);
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

  function exportSave(path) {
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
  }
  function keepSave(path) {
    if (!writable || path !== SAVE_FILE) return;
    let bytes;
    try {
      bytes = Module.FS.readFile(path);
    } catch (e) {
      return;
    }
    Module.page.writes = (Module.page.writes || 0) + 1;
    // IndexedDB keeps the save; a write that starts while the page is
    // being closed may not be committed, so a copy goes to localStorage
    // too, which is written at once. The newer of the two is read.
    const serial = lastSerial = Math.max(Date.now(), lastSerial + 1);
    try {
      localStorage.setItem('quorrin.sav', JSON.stringify({serial, bytes: toBase64(bytes)}));
    } catch (e) {
      // No room or no storage: IndexedDB alone.
    }
    storeFile('save', {serial, bytes}).then((ok) => { if (ok) Module.page.stored = (Module.page.stored || 0) + 1; });
  }

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
  // not shown: it lets it go (its game saved on the way, as page.js's
  // listener, added before this one, had it), and starts afresh if it is
  // shown again.
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

  // The files kept in the page's storage, put where the game reads them:
  // the save file and the player's collections.
  function restore(files) {
    writable = true;
    let save = null;
    for (const [key, value] of files) {
      if (key === 'save') save = value;
      else if (typeof key === 'string' && key.startsWith('dat:')) Module.FS.writeFile('/game/' + key.slice(4), value);
    }
    const bytes = newestSave(save);
    if (bytes) Module.FS.writeFile(SAVE_FILE, bytes);
    if (navigator.storage && navigator.storage.persist) {
      navigator.storage.persist().then((granted) => { Module.page.persisted = granted; });
    }
  }
  // A second tab: nothing written here; once the other tab is gone, start
  // from what it saved.
  function waitForLock(start) {
    writable = false;
    if (navigator.locks) {
      navigator.locks.request('quorrin-game', () => {
        storedFiles().then(start);
        return holdLock();
      });
    }
  }

  return {lock, stored, restore, waitForLock, exportSave, keepSave};
}
