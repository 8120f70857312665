// The follow page: shows what the stage screen shows, from the state the
// program pushes over the WebSocket, and comes back by itself when the
// program or the network does. It never opens a dialog.
'use strict';

const $ = (id) => document.getElementById(id);
const views = { line: $('line'), doc: $('doc'), pictureView: $('pictureView'), frame: $('frame') };
let socket = null;
let lastMessage = 0;
let connectingSince = 0;
let shownContent = '';
let shownState = null;

function only(view) {
  for (const [name, element] of Object.entries(views)) {
    element.hidden = name !== view;
  }
}

function safeLink(address) {
  try {
    const url = new URL(address);
    return url.protocol === 'http:' || url.protocol === 'https:' ? url.href : '';
  } catch (e) {
    return '';
  }
}

// The prompt's HTML joins this page: what could run or lead away is dropped
// (the page's own policy forbids inline scripts as well).
function sanitized(html) {
  const parsed = new DOMParser().parseFromString(html, 'text/html');
  parsed.querySelectorAll('script,iframe,object,embed,link,meta,base,form,a[href]').forEach((e) => {
    if (e.tagName === 'A') {
      e.removeAttribute('href');
    } else {
      e.remove();
    }
  });
  parsed.querySelectorAll('*').forEach((e) => {
    for (const attribute of [...e.attributes]) {
      if (attribute.name.startsWith('on') || /^\s*javascript:/i.test(attribute.value)) {
        e.removeAttribute(attribute.name);
      }
    }
  });
  const styles = [...parsed.head.querySelectorAll('style')];
  return [...styles, ...parsed.body.childNodes];
}

function scrollTo(state) {
  const fraction = Math.min(Math.max(Number(state.scroll) || 0, 0), 1);
  try {
    if (!views.doc.hidden) {
      views.doc.scrollTop = fraction * (views.doc.scrollHeight - views.doc.clientHeight);
    } else if (!views.frame.hidden && views.frame.contentDocument) {
      const inner = views.frame.contentDocument.scrollingElement;
      inner.scrollTop = fraction * (inner.scrollHeight - inner.clientHeight);
    }
  } catch (e) {
    // A web page of another site keeps its own scroll.
  }
}

async function showContent(state) {
  const kind = state.kind;
  const path = state.content;
  if (kind === 'text' || kind === 'rtf') {
    const answer = await fetch(path, { cache: 'no-store' });
    if (!answer.ok || shownContent !== path) return;
    const nodes = sanitized(await answer.text());
    if (shownContent !== path) return;
    views.doc.className = 'view ' + kind;
    views.doc.replaceChildren(...nodes);
    only('doc');
  } else if (kind === 'pdf' || kind === 'picture') {
    // A PDF page comes as the stage drew it; the picture is fitted here.
    $('picture').src = path;
    only('pictureView');
  } else if (kind === 'html') {
    views.frame.setAttribute('sandbox', 'allow-same-origin');
    views.frame.src = path;
    only('frame');
  }
  scrollTo(shownState);
}

function show(state) {
  shownState = state;
  // The show, where there are several: a follower who joins mid-show sees
  // which one is on.
  $('show').textContent = state.showName ? state.showName + ' \u00b7' : '';
  $('slot').textContent = state.slot;
  $('name').textContent = state.name;
  $('next').textContent = state.next ? 'Next: ' + state.next : '';
  $('page').textContent = state.kind === 'pdf' && state.pageCount ? state.page + ' / ' + state.pageCount : '';
  const link = safeLink(state.link || '');
  $('link').hidden = !link;
  if (link) $('link').href = link;
  else $('link').removeAttribute('href');

  if (state.kind === 'line' || state.kind === 'none') {
    shownContent = '';
    views.line.textContent = state.text;
    only('line');
    return;
  }
  if (state.kind === 'web') {
    const key = 'web:' + link;
    if (shownContent !== key) {
      shownContent = key;
      views.frame.setAttribute('sandbox', 'allow-scripts allow-same-origin allow-forms');
      if (link) {
        views.frame.src = link;
        only('frame');
      } else {
        views.line.textContent = state.name;
        only('line');
      }
    }
    return;
  }
  if (state.content && state.content !== shownContent) {
    shownContent = state.content;
    showContent(state).catch(() => { shownContent = ''; });
    return;
  }
  scrollTo(state);
}

function setOnline(online) {
  $('mark').className = online ? 'mark online' : 'mark offline';
}

function connect() {
  const scheme = location.protocol === 'https:' ? 'wss://' : 'ws://';
  socket = new WebSocket(scheme + location.host + '/ws');
  connectingSince = Date.now();
  socket.onopen = () => {
    // A program that started again numbers its content anew.
    shownContent = '';
    lastMessage = Date.now();
    setOnline(true);
  };
  socket.onmessage = (event) => {
    lastMessage = Date.now();
    try {
      show(JSON.parse(event.data));
    } catch (e) {
      // A state that cannot be read leaves the last prompt on screen.
    }
  };
  socket.onclose = () => {
    setOnline(false);
    socket = null;
    setTimeout(connect, 500);
  };
}

// The program repeats the state every five seconds: silence longer than that
// is a connection that died without closing.
setInterval(() => {
  if (!socket) return;
  const now = Date.now();
  if ((socket.readyState === WebSocket.OPEN && now - lastMessage > 12000) ||
      (socket.readyState === WebSocket.CONNECTING && now - connectingSince > 1500)) {
    socket.close();
  }
}, 500);

document.addEventListener('dblclick', () => {
  if (document.documentElement.requestFullscreen && !document.fullscreenElement) {
    document.documentElement.requestFullscreen().catch(() => {});
  }
});

connect();
