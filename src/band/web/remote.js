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

document.getElementById('pad').addEventListener('click', (event) => {
  const button = event.target.closest('button');
  if (!button) return;
  if (button.dataset.select) send('/api/select');
  else send('/api/value', { value: Number(button.dataset.value) });
});

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
      button.addEventListener('click', () => send('/api/value', { value: slot.slot }));
      return button;
    }));
    markCurrent();
  } catch (e) {
    setTimeout(loadSlots, 1000);
  }
}

function follow() {
  const socket = new WebSocket((location.protocol === 'https:' ? 'wss://' : 'ws://') + location.host + '/ws');
  socket.onopen = loadSlots;
  socket.onmessage = (event) => {
    try {
      current = JSON.parse(event.data).slot;
      markCurrent();
    } catch (e) {}
  };
  socket.onclose = () => setTimeout(follow, 1000);
}
follow();
