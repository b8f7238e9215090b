// The page of quorvex-match --serve. The server runs and referees every
// game; this page draws what its event stream sends, sends the person's
// clicks as requests, and shows the server's answer to each. Replaying is
// local: the server only reads the record.
'use strict';

const SVG = 'http://www.w3.org/2000/svg';
// The look of the tool's SVG pictures (svg_board.cpp).
const CELL = 32;
const MARGIN = 40;
const TURN_CHOICES_MS = [200, 500, 1000, 2000, 5000, 10000, 30000];
const PAUSE_CHOICES_MS = [0, 100, 250, 500, 1000, 2000];
const MAX_LOG_LINES = 2000;

const $ = (id) => document.getElementById(id);

const page = {
  tab: '',           // our token, from the event stream's hello
  config: null,      // what the server offers
  controller: false, // this tab controls the board
  live: null,        // the last state sent
  mode: 'play',      // play, watch or replay
  replay: null,      // {size, moves, black, white, illegal, at}
};

// --- Notation, as on the terminal board: columns from a, rows from 1.
function notation(x, y) {
  return String.fromCharCode(97 + x) + (y + 1);
}

function seconds(ms) {
  return ms < 1000 ? ms + ' ms' : ms / 1000 + ' s';
}

// --- The board.
function svgElement(name, attributes, text) {
  const element = document.createElementNS(SVG, name);
  for (const [key, value] of Object.entries(attributes)) element.setAttribute(key, value);
  if (text !== undefined) element.textContent = text;
  return element;
}

// Draws `moves` ([x, y, colour] with 1 black, 2 white) on an empty board of
// `size`; `playable` (null, 'black' or 'white') makes the free points
// clickable for that colour.
function drawBoard(size, moves, playable) {
  const board = $('board');
  const at = (i) => MARGIN + i * CELL;
  const width = 2 * MARGIN + (size - 1) * CELL;
  board.replaceChildren();
  board.setAttribute('width', width);
  board.setAttribute('height', width);
  board.setAttribute('viewBox', `0 0 ${width} ${width}`);
  board.setAttribute('class', playable ? 'playable ' + playable : '');
  board.classList.toggle('show-numbers', $('numbers').checked);
  board.append(svgElement('rect', { width: '100%', height: '100%', fill: '#e2b866' }));

  // 1. Grid and edge labels.
  const grid = svgElement('g', { stroke: '#3a2a10', 'stroke-width': 1 });
  const labels = svgElement('g', { 'font-size': 13, fill: '#3a2a10', 'text-anchor': 'middle' });
  for (let i = 0; i < size; ++i) {
    grid.append(svgElement('line', { x1: at(0), y1: at(i), x2: at(size - 1), y2: at(i) }));
    grid.append(svgElement('line', { x1: at(i), y1: at(0), x2: at(i), y2: at(size - 1) }));
    const letter = String.fromCharCode(97 + i);
    labels.append(svgElement('text', { x: at(i), y: MARGIN - 18 }, letter));
    labels.append(svgElement('text', { x: at(i), y: at(size - 1) + 28 }, letter));
    labels.append(svgElement('text', { x: MARGIN - 24, y: at(i) + 4 }, i + 1));
    labels.append(svgElement('text', { x: at(size - 1) + 24, y: at(i) + 4 }, i + 1));
  }
  board.append(grid, labels);

  // 2. Stones, numbered in the order played; the last one ringed.
  const taken = new Set();
  moves.forEach(([x, y, colour], i) => {
    const black = colour === 1;
    taken.add(x + ',' + y);
    board.append(svgElement('circle', {
      cx: at(x), cy: at(y), r: CELL / 2 - 2, fill: black ? '#111111' : '#f8f8f8',
      stroke: '#111111', 'stroke-width': 1,
      class: 'stone ' + (black ? 'black' : 'white'), 'data-point': notation(x, y),
    }));
    board.append(svgElement('text', {
      x: at(x), y: at(y) + 4, 'font-size': 11, 'text-anchor': 'middle',
      fill: black ? '#f8f8f8' : '#111111', class: 'number',
    }, i + 1));
  });
  if (moves.length > 0) {
    const [x, y] = moves[moves.length - 1];
    board.append(svgElement('circle', {
      cx: at(x), cy: at(y), r: CELL / 2, fill: 'none', stroke: '#d01010', 'stroke-width': 3,
      class: 'last', 'data-point': notation(x, y),
    }));
  }

  // 3. A target on every point, above the stones: a click on a taken point
  //    is sent too, and the server says why it is refused.
  for (let y = 0; y < size; ++y) {
    for (let x = 0; x < size; ++x) {
      const free = !taken.has(x + ',' + y);
      const point = svgElement('circle', {
        cx: at(x), cy: at(y), r: CELL / 2 - 1,
        class: 'point' + (free ? ' free' : ''), 'data-point': notation(x, y),
        'data-x': x, 'data-y': y,
      });
      point.append(svgElement('title', {}, notation(x, y)));
      board.append(point);
    }
  }
}

// --- Messages.
function say(text, isError) {
  const message = $('message');
  message.textContent = text || '';
  message.className = isError ? 'error' : '';
}

async function answerOf(response) {
  try {
    return await response.json();
  } catch {
    return { error: `The server answered ${response.status}.` };
  }
}

// Posts form `fields` (with our tab) to `path`; the reply, or null after
// showing why it was refused.
async function post(path, fields) {
  let response;
  try {
    response = await fetch(path, { method: 'POST', body: new URLSearchParams({ tab: page.tab, ...fields }) });
  } catch {
    say('The server cannot be reached: is quorvex-match --serve still running?', true);
    return null;
  }
  const reply = await answerOf(response);
  if (!response.ok) {
    say(reply.error || `The server answered ${response.status}.`, true);
    return null;
  }
  return reply;
}

// --- What is shown.
function render() {
  const live = page.live;
  if (page.mode === 'replay') {
    renderReplay();
    return;
  }
  $('table').hidden = !live || !live.table;
  if (!live || live.kind === 'none') {
    drawBoard(Number($('play-size').value) || 20, [], null);
    $('players').textContent = '';
    $('status').textContent = page.mode === 'play' ? 'Choose your colour and press New game.'
                                                    : 'Press Start match.';
    return;
  }
  $('table').textContent = live.table;
  const playable = live.kind === 'play' && live.running && live.yourTurn ? live.human : null;
  drawBoard(live.size, live.moves, playable);
  const game = live.games > 1 ? ` · game ${live.game} of ${live.games}` : '';
  $('players').textContent = live.black ? `black: ${live.black} · white: ${live.white}${game}` : '';
  let status = live.status;
  if (live.kind === 'play' && live.running) {
    const opponent = live.human === 'black' ? live.white : live.black;
    status = live.yourTurn ? `Your move as ${live.human}: click a point.`
                           : `${opponent || 'The brain'} is thinking…`;
    if (live.moves.length > 0) status = live.status + ' — ' + status;
  }
  $('status').textContent = status;
}

function renderReplay() {
  const replay = page.replay;
  $('table').hidden = true;
  if (!replay) {
    drawBoard(20, [], null);
    $('players').textContent = '';
    $('status').textContent = 'Open a record to step through it.';
    $('replay-info').textContent = '';
    return;
  }
  const shown = replay.moves.slice(0, replay.at);
  drawBoard(replay.size, shown, null);
  $('players').textContent = `black: ${replay.black || '?'} · white: ${replay.white || '?'}`;
  const last = shown[shown.length - 1];
  $('status').textContent = `move ${replay.at} of ${replay.moves.length}` +
      (last ? `: ${last[2] === 1 ? 'black' : 'white'} ${notation(last[0], last[1])}` : '');
  $('replay-info').textContent = replay.illegal
      ? `The record goes on illegally after this (${replay.illegal}); the moves before are shown.`
      : '';
}

function setMode(mode) {
  page.mode = mode;
  for (const button of document.querySelectorAll('#modes button')) {
    button.classList.toggle('selected', button.dataset.mode === mode);
  }
  $('play-panel').hidden = mode !== 'play';
  $('watch-panel').hidden = mode !== 'watch';
  $('replay-panel').hidden = mode !== 'replay';
  say('');
  render();
}

function showRole() {
  const role = $('role');
  role.hidden = page.controller;
  role.textContent = 'Another tab controls this board; this one only shows it. ' +
                     'Close the other tab to play here.';
  for (const button of document.querySelectorAll('#play-panel button, #watch-panel button')) {
    button.disabled = !page.controller || !page.config || page.config.brains.length === 0;
  }
}

// --- The forms, filled from what the server offers.
function fillChoices(select, values, chosen, label) {
  if (!values.includes(chosen)) values = [...values, chosen].sort((a, b) => a - b);
  select.replaceChildren(...values.map((value) => {
    const option = document.createElement('option');
    option.value = value;
    option.textContent = label(value);
    option.selected = value === chosen;
    return option;
  }));
}

function fillForms(config) {
  for (const select of document.querySelectorAll('select.size')) {
    fillChoices(select, [15, 20], config.size, (n) => `${n}x${n}`);
  }
  for (const select of document.querySelectorAll('select.turn')) {
    fillChoices(select, TURN_CHOICES_MS, config.turnMs, seconds);
  }
  fillChoices($('watch-pause'), PAUSE_CHOICES_MS, config.pauseMs, (ms) => (ms ? seconds(ms) : 'none'));
  $('watch-games').value = config.games;
  const brains = config.brains;
  $('play-brain').replaceChildren(...brains.map((name, i) => {
    const option = document.createElement('option');
    option.value = i + 1;
    option.textContent = brains.length > 1 ? `${i + 1}: ${name}` : name;
    return option;
  }));
  $('watch-players').textContent =
      brains.length === 0 ? 'No brain was given on the command line.'
      : brains.length === 1 ? `${brains[0]} against itself`
      : `1: ${brains[0]} against 2: ${brains[1]}`;
}

// --- The event stream.
function connect() {
  const events = new EventSource('/api/events');
  events.addEventListener('open', () => {
    $('connection').textContent = 'connected';
    $('connection').className = '';
  });
  events.addEventListener('error', () => {
    const closed = events.readyState === EventSource.CLOSED;
    $('connection').textContent = closed ? 'refused: too many tabs are open? reload to retry'
                                         : 'connection lost, retrying…';
    $('connection').className = 'lost';
  });
  events.addEventListener('hello', (event) => {
    const hello = JSON.parse(event.data);
    page.tab = hello.tab;
    if (!page.config) fillForms(hello.config);
    page.config = hello.config;
    $('log').textContent = '';
    showRole();
  });
  events.addEventListener('role', (event) => {
    page.controller = JSON.parse(event.data).controller;
    showRole();
  });
  events.addEventListener('state', (event) => {
    const state = JSON.parse(event.data);
    if (page.live && page.live.activity !== state.activity) $('log').textContent = '';
    page.live = state;
    render();
  });
  events.addEventListener('log', (event) => {
    const log = $('log');
    const atBottom = log.scrollTop + log.clientHeight >= log.scrollHeight - 4;
    const lines = (log.textContent ? log.textContent.split('\n') : []).concat(JSON.parse(event.data));
    log.textContent = lines.slice(-MAX_LOG_LINES).join('\n');
    if (atBottom) log.scrollTop = log.scrollHeight;
  });
}

// --- Actions.
async function clickBoard(event) {
  const point = event.target.closest('.point');
  if (!point || page.mode === 'replay') return;
  const live = page.live;
  if (!live || live.kind !== 'play') {
    say(page.mode === 'play' ? 'Press New game first.' : 'The brains are playing this board.', true);
    return;
  }
  const reply = await post('/api/move', { activity: live.activity, x: point.dataset.x, y: point.dataset.y });
  if (reply) say('');
}

async function openRecord(text) {
  let response;
  try {
    response = await fetch('/api/record', { method: 'POST', body: text });
  } catch {
    say('The server cannot be reached.', true);
    return;
  }
  const reply = await answerOf(response);
  if (!response.ok) {
    say(reply.error, true);
    return;
  }
  page.replay = { ...reply, at: reply.moves.length };
  say('');
  render();
}

function step(to) {
  const replay = page.replay;
  if (!replay) return;
  replay.at = Math.max(0, Math.min(replay.moves.length, to(replay.at)));
  render();
}

function wire() {
  for (const button of document.querySelectorAll('#modes button')) {
    button.addEventListener('click', () => setMode(button.dataset.mode));
  }
  $('board').addEventListener('click', clickBoard);
  $('numbers').addEventListener('change', () => {
    $('board').classList.toggle('show-numbers', $('numbers').checked);
  });
  $('play-panel').addEventListener('submit', async (event) => {
    event.preventDefault();
    say('Starting a game…');
    const reply = await post('/api/play', {
      colour: $('play-colour').value, size: $('play-size').value,
      turnMs: $('play-turn').value, brain: $('play-brain').value,
    });
    if (reply) say('');
  });
  $('play-resign').addEventListener('click', async () => {
    const live = page.live;
    if (!live || live.kind !== 'play') return say('There is no game of yours to resign.', true);
    if (await post('/api/resign', { activity: live.activity })) say('');
  });
  $('watch-panel').addEventListener('submit', async (event) => {
    event.preventDefault();
    say('Starting the match…');
    const reply = await post('/api/watch', {
      games: $('watch-games').value, size: $('watch-size').value,
      turnMs: $('watch-turn').value, pauseMs: $('watch-pause').value,
    });
    if (reply) say('');
  });
  $('watch-stop').addEventListener('click', async () => {
    say('Stopping…');
    if (await post('/api/stop', {})) say('Stopped.');
  });
  $('replay-file').addEventListener('change', async () => {
    const file = $('replay-file').files[0];
    if (file) await openRecord(await file.text());
  });
  $('replay-played').addEventListener('click', async () => {
    const response = await fetch('/api/record/last');
    if (!response.ok) return say((await answerOf(response)).error, true);
    await openRecord(await response.text());
  });
  $('replay-first').addEventListener('click', () => step(() => 0));
  $('replay-back').addEventListener('click', () => step((at) => at - 1));
  $('replay-forward').addEventListener('click', () => step((at) => at + 1));
  $('replay-end').addEventListener('click', () => step(() => Infinity));
  document.addEventListener('keydown', (event) => {
    if (page.mode !== 'replay' || event.target.tagName === 'INPUT') return;
    const moves = { ArrowLeft: (at) => at - 1, ArrowRight: (at) => at + 1, Home: () => 0, End: () => Infinity };
    if (moves[event.key]) {
      event.preventDefault();
      step(moves[event.key]);
    }
  });
}

wire();
render();
connect();
