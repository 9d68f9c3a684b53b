'use strict';
// The page's dialogs and message boxes: built from index.html's
// templates, one over another, with their lists and their keys. What the
// player does in them goes to the game as CONTROL and ANSWER events;
// page.js calls pageDialogs() once and passes the game's calls on to the
// methods it returns.
function pageDialogs({canvas, closeMenu, push, stats}) {
  const CONTROL = 7, ANSWER = 8;
  const LIST_DOUBLE_CLICK = 2;
  const modals = [];        // open dialogs and message boxes, the top one last
  let dialog = null;        // the open dialog: its element and its list
  let building = null;      // the list listBegin started

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

  const methods = {
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
      building = {list, stops, lines: []};
    },
    listLine(text) {
      if (building) building.lines.push(text);
    },
    listEnd() {
      const {list, stops, lines} = building || {};
      building = null;
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
  };

  return {modals, dialogKey, methods};
}
