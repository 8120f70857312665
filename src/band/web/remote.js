// The remote: the Nav Pad's commands and the slot list. The remote address
// carries the key after '#', so it never travels in a request line; the
// browser keeps it and sends it with each command.
'use strict';

const status = document.getElementById('status');
const list = document.getElementById('slots');
const storeName = 'tarvelloRemoteKey';

// Read whenever the address's '#' part changes: a key given to a page that is
// already open is taken at once.
function takeKeyFromAddress() {
  if (location.hash.length > 1) {
    try { localStorage.setItem(storeName, decodeURIComponent(location.hash.slice(1))); } catch (e) {}
    history.replaceState(null, '', location.pathname);
    status.textContent = '';
  }
}
takeKeyFromAddress();
window.addEventListener('hashchange', takeKeyFromAddress);
function key() {
  try { return localStorage.getItem(storeName) || ''; } catch (e) { return ''; }
}

async function send(path, body) {
  try {
    const answer = await fetch(path, {
      method: 'POST',
      headers: { 'Authorization': 'Bearer ' + key(), 'Content-Type': 'application/json' },
      body: body === undefined ? '' : JSON.stringify(body),
    });
    status.textContent = answer.status === 401
      ? 'This remote has no key or an old one: open the remote address from the Settings page again.'
      : answer.ok ? '' : 'Not done (' + answer.status + ').';
  } catch (e) {
    status.textContent = 'No connection to Tarvello.';
  }
}

// "Stage" brings the stage screen back to the prompt page; it never takes
// the stage to an editing page.
document.getElementById('pad').addEventListener('click', (event) => {
  const button = event.target.closest('button');
  if (!button) return;
  if (button.dataset.select) send('/api/select');
  else send('/api/value', { value: Number(button.dataset.value) });
});

// A slot changes the song for the whole band, so a tap on it only arms it:
// a second tap on the same slot within confirmMs selects. A stray tap while
// scrolling the list changes nothing; a tap anywhere else, or a late one,
// starts over.
const confirmMs = 3000;
let armed = -1;
let armedAt = 0;
let disarmTimer = 0;

function showArmed() {
  for (const button of list.children) {
    const on = Number(button.dataset.slot) === armed;
    button.classList.toggle('armed', on);
    const hint = button.querySelector('.confirm');
    if (on && !hint) {
      const text = document.createElement('span');
      text.className = 'confirm';
      text.textContent = 'tap again to go';
      button.append(text);
    } else if (!on && hint) {
      hint.remove();
    }
  }
}

function disarm() {
  clearTimeout(disarmTimer);
  armed = -1;
  showArmed();
}

function tapSlot(slot) {
  if (slot === armed && Date.now() - armedAt <= confirmMs) {
    disarm();
    send('/api/value', { value: slot });
    return;
  }
  clearTimeout(disarmTimer);
  armed = slot;
  armedAt = Date.now();
  disarmTimer = setTimeout(disarm, confirmMs);
  showArmed();
}

document.addEventListener('click', (event) => {
  if (armed >= 0 && !event.target.closest('#slots button')) disarm();
});

// The shows: listed when there is more than one; opening one changes the
// song list, which is loaded again as the show arrives.
const showBox = document.getElementById('shows');
const showList = document.getElementById('showList');
let currentShow = -1;
document.getElementById('openShow').addEventListener('click', () => {
  send('/api/show', { show: Number(showList.value) });
});

async function loadShows() {
  try {
    const shows = await (await fetch('/api/shows', { cache: 'no-store' })).json();
    showList.replaceChildren(...shows.map((show) => {
      const option = document.createElement('option');
      option.value = show.show;
      option.textContent = show.show + '  ' + show.name;
      return option;
    }));
    showList.value = String(currentShow);
    showBox.hidden = shows.length < 2;
  } catch (e) {
    setTimeout(loadShows, 1000);
  }
}

let current = -1;
function markCurrent() {
  for (const button of list.children) {
    button.classList.toggle('current', Number(button.dataset.slot) === current);
  }
}

async function loadSlots() {
  try {
    const slots = await (await fetch('/api/slots', { cache: 'no-store' })).json();
    list.replaceChildren(...slots.map((slot) => {
      const button = document.createElement('button');
      button.dataset.slot = slot.slot;
      button.textContent = slot.slot + '  ' + slot.name;
      if (!slot.name) button.classList.add('empty');
      button.addEventListener('click', () => tapSlot(slot.slot));
      return button;
    }));
    disarm();
    markCurrent();
  } catch (e) {
    setTimeout(loadSlots, 1000);
  }
}

function follow() {
  const socket = new WebSocket((location.protocol === 'https:' ? 'wss://' : 'ws://') + location.host + '/ws');
  socket.onopen = () => { loadSlots(); loadShows(); };
  socket.onmessage = (event) => {
    try {
      const state = JSON.parse(event.data);
      current = state.slot;
      if (state.show !== currentShow) {
        currentShow = state.show;
        loadSlots();
        loadShows();
      }
      markCurrent();
    } catch (e) {}
  };
  socket.onclose = () => setTimeout(follow, 1000);
}
follow();
