// The page of quorvex-match --serve. The server runs and referees every
// game; this page draws what its event stream sends, sends the person's
// clicks as requests, and shows the server's answer to each. Replaying,
// stepping through the moves and placing an opening are local: the server
// only reads and writes the records, and plays what the person asks.
'use strict';

const SVG = 'http://www.w3.org/2000/svg';
// The look of the tool's SVG pictures (svg_board.cpp), with a margin a
// little smaller so that a 15x15 board keeps its points a finger apart on
// a phone.
const CELL = 32;
const MARGIN = 34;
const TURN_CHOICES_MS = [200, 500, 1000, 2000, 5000, 10000, 30000];
const PAUSE_CHOICES_MS = [0, 100, 250, 500, 1000, 2000];
const MAX_LOG_LINES = 2000;
const CLOCK_TICK_MS = 200;

const $ = (id) => document.getElementById(id);

const page = {
  tab: '',           // our token, from the event stream's hello
  config: null,      // what the server offers
  controller: false, // this tab controls the board
  live: null,        // the last state sent
  mode: 'play',      // play, watch or replay
  replay: null,      // {size, moves, five, black, white, illegal, at, text}
  viewAt: null,      // play and watch: the move shown, null for the newest
  placing: false,    // play: clicks place the opening's stones
  errorAbout: null,  // the state an error message was about (stateKey)
  skewMs: 0,         // the server's clock less ours
};

// --- Notation, as on the terminal board: columns from a, rows from 1.
function notation(x, y) {
  return String.fromCharCode(97 + x) + (y + 1);
}

function seconds(ms) {
  return ms < 1000 ? ms + ' ms' : ms / 1000 + ' s';
}

// A clock: "8.4 s" under a minute, "2:05" past it.
function clock(ms) {
  const s = Math.max(0, ms) / 1000;
  if (s < 60) return s.toFixed(1) + ' s';
  const whole = Math.floor(s);
  return Math.floor(whole / 60) + ':' + String(whole % 60).padStart(2, '0');
}

// The stones of an opening as the openings file takes it, alternately from
// black: moves ("h8 i9 i7", the protocol's "7,7 8,8") or offsets from the
// centre ("0,0, 1,1, -1,1", told apart by a sign or by commas between the
// pairs); {error} when it is neither, or a point is off the board or taken.
// The server reads the same text with the tool's own reader.
function parseOpening(text, size) {
  const words = text.split(/[\s;]+/).filter(Boolean);
  const parts = text.split(',').map((part) => part.trim());
  const offsets = !/[a-z]/i.test(text) && parts.every((part) => /^[+-]?\d{1,4}$/.test(part)) &&
                  (parts.length > 2 || /[+-]/.test(text));
  let points;
  if (offsets) {
    if (parts.length % 2) return { error: 'offsets come in pairs dx,dy' };
    const centre = Math.floor(size / 2);
    points = [];
    for (let i = 0; i < parts.length; i += 2) {
      points.push([centre + Number(parts[i]), centre + Number(parts[i + 1]), parts[i] + ',' + parts[i + 1]]);
    }
  } else if (words.length === 1 && /^\d+,\d+$/.test(words[0])) {
    return { error: `write the point as a letter and a number (h8), or an offset with signs (+0,+0)` };
  } else {
    points = words.map((word) => {
      const move = /^([a-z])(\d{1,2})$/i.exec(word);
      const pair = /^(\d{1,2}),(\d{1,2})$/.exec(word);
      return move ? [move[1].toLowerCase().charCodeAt(0) - 97, Number(move[2]) - 1, word]
           : pair ? [Number(pair[1]), Number(pair[2]), word] : [-1, -1, word];
    });
  }
  const moves = [];
  const taken = new Set();
  for (const [x, y, word] of points) {
    if (x < 0 || y < 0 || x >= size || y >= size || taken.has(x + ',' + y)) {
      return { error: `"${word}" is not a free point of the ${size}x${size} board` };
    }
    taken.add(x + ',' + y);
    moves.push([x, y, moves.length % 2 === 0 ? 1 : 2, 0]);
  }
  return { moves };
}

// --- The board.
function svgElement(name, attributes, text) {
  const element = document.createElementNS(SVG, name);
  for (const [key, value] of Object.entries(attributes)) element.setAttribute(key, value);
  if (text !== undefined) element.textContent = text;
  return element;
}

// Draws `moves` ([x, y, colour, ms] with 1 black, 2 white) on an empty
// board of `size`. Options: `playable` (null, 'black' or 'white') makes the
// free points clickable for that colour; `five` ([[x, y], ...]) is drawn
// as a line through the winning row; `preview` draws the stones as a
// position being set up.
function drawBoard(size, moves, { playable = null, five = [], preview = false } = {}) {
  const board = $('board');
  const at = (i) => MARGIN + i * CELL;
  const width = 2 * MARGIN + (size - 1) * CELL;
  board.replaceChildren();
  board.setAttribute('width', width);
  board.setAttribute('height', width);
  board.setAttribute('viewBox', `0 0 ${width} ${width}`);
  board.setAttribute('class', playable ? 'playable ' + playable : '');
  board.classList.toggle('show-numbers', $('numbers').checked);
  board.append(svgElement('rect', { width: '100%', height: '100%', class: 'wood' }));

  // 1. Grid and edge labels.
  const grid = svgElement('g', { class: 'grid', 'stroke-width': 1 });
  const labels = svgElement('g', { class: 'labels', 'font-size': 12, 'text-anchor': 'middle' });
  for (let i = 0; i < size; ++i) {
    grid.append(svgElement('line', { x1: at(0), y1: at(i), x2: at(size - 1), y2: at(i) }));
    grid.append(svgElement('line', { x1: at(i), y1: at(0), x2: at(i), y2: at(size - 1) }));
    const letter = String.fromCharCode(97 + i);
    labels.append(svgElement('text', { x: at(i), y: MARGIN - 19 }, letter));
    labels.append(svgElement('text', { x: at(i), y: at(size - 1) + 29 }, letter));
    labels.append(svgElement('text', { x: MARGIN - 22, y: at(i) + 4 }, i + 1));
    labels.append(svgElement('text', { x: at(size - 1) + 22, y: at(i) + 4 }, i + 1));
  }
  board.append(grid, labels);

  // 2. Stones; the winning row; the numbers in the order played, above
  //    it; the last stone ringed.
  const taken = new Set();
  for (const [x, y, colour] of moves) {
    taken.add(x + ',' + y);
    board.append(svgElement('circle', {
      cx: at(x), cy: at(y), r: CELL / 2 - 2, 'stroke-width': 1,
      class: 'stone ' + (colour === 1 ? 'black' : 'white') + (preview ? ' preview' : ''),
      'data-point': notation(x, y),
    }));
  }
  if (five.length > 0) {
    const [first, last] = [five[0], five[five.length - 1]];
    board.append(svgElement('line', {
      x1: at(first[0]), y1: at(first[1]), x2: at(last[0]), y2: at(last[1]), class: 'five',
      'stroke-width': 5, 'stroke-linecap': 'round', 'stroke-opacity': 0.75,
      'data-points': five.map(([x, y]) => notation(x, y)).join(' '),
    }));
  }
  moves.forEach(([x, y, colour], i) => {
    board.append(svgElement('text', {
      x: at(x), y: at(y) + 4, 'font-size': 11, 'text-anchor': 'middle',
      class: 'number ' + (colour === 1 ? 'on-black' : 'on-white'),
    }, i + 1));
  });
  if (moves.length > 0 && !preview) {
    const [x, y] = moves[moves.length - 1];
    board.append(svgElement('circle', {
      cx: at(x), cy: at(y), r: CELL / 2, fill: 'none', 'stroke-width': 3,
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

// --- Messages. An error says why a request was refused; it stays only
// while the state it was about does.
function stateKey() {
  const live = page.live;
  return live ? [live.activity, live.moves.length, live.running, live.yourTurn, page.controller].join(':')
              : '';
}

function say(text, isError) {
  const message = $('message');
  message.textContent = text || '';
  message.className = isError ? 'error' : '';
  page.errorAbout = isError ? stateKey() : null;
}

function clearStaleError() {
  if (page.errorAbout !== null && page.errorAbout !== stateKey()) say('');
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

// --- What is shown: the game of the mode, at the move chosen.
function shownGame() {
  if (page.mode === 'replay') {
    const replay = page.replay;
    if (!replay) return null;
    return { size: replay.size, moves: replay.moves, at: replay.at, five: replay.five,
             opening: 0, black: replay.black, white: replay.white, live: false };
  }
  const live = page.live;
  if (!live || live.kind === 'none') return null;
  const at = page.viewAt === null ? live.moves.length : Math.min(page.viewAt, live.moves.length);
  return { size: live.size, moves: live.moves, at, five: live.five, opening: live.openingStones,
           black: live.black, white: live.white, live: true };
}

function render() {
  // Which game or match is shown, for whoever drives the page.
  document.body.dataset.activity = page.live ? page.live.activity : 0;
  const game = shownGame();
  renderBoard(game);
  renderMoveList(game);
  renderClocks();
  renderStatus(game);
  renderControls();
}

function renderBoard(game) {
  if (page.placing && page.mode === 'play') {
    const size = Number($('play-size').value) || 20;
    const moves = parseOpening($('play-opening').value, size).moves || [];
    drawBoard(size, moves, { playable: moves.length % 2 ? 'white' : 'black', preview: true });
    return;
  }
  if (!game) {
    drawBoard(page.mode === 'play' ? Number($('play-size').value) || 20 : 20, []);
    return;
  }
  const live = page.live;
  const whole = game.at === game.moves.length;
  const playable = game.live && whole && live.kind === 'play' && live.running && live.yourTurn
                   ? live.human : null;
  drawBoard(game.size, game.moves.slice(0, game.at), { playable, five: whole ? game.five : [] });
}

function renderMoveList(game) {
  const list = $('moves');
  const moves = game ? game.moves : [];
  // Rebuilt only when the moves change; otherwise only the mark moves.
  const key = moves.map(([x, y]) => x + ',' + y).join(' ');
  if (list.dataset.key !== key) {
    list.dataset.key = key;
    list.replaceChildren(...moves.map(([x, y, colour], i) => {
      const item = document.createElement('li');
      item.className = (colour === 1 ? 'black' : 'white') + (i < game.opening ? ' opening' : '');
      const button = document.createElement('button');
      button.type = 'button';
      button.dataset.at = i + 1;
      button.textContent = `${i + 1}. ${notation(x, y)}`;
      button.title = i < game.opening ? 'opening stone' : `${moves[i][3]} ms`;
      item.append(button);
      return item;
    }));
  }
  let shown = null;
  for (const button of list.querySelectorAll('button')) {
    const on = game !== null && Number(button.dataset.at) === game.at;
    button.classList.toggle('shown', on);
    if (on) shown = button;
  }
  if (shown) {
    const top = shown.offsetTop - list.offsetTop;
    if (top < list.scrollTop || top + shown.offsetHeight > list.scrollTop + list.clientHeight) {
      list.scrollTop = top - list.clientHeight / 2;
    }
  }
  const viewing = $('viewing');
  if (!game) viewing.textContent = '';
  else if (game.live && page.viewAt !== null) {
    viewing.textContent = `Showing move ${game.at} of ${game.moves.length}; the game goes on. ` +
                          'End (or the last move) returns to it.';
  } else viewing.textContent = game.moves.length ? `move ${game.at} of ${game.moves.length}` : '';
}

// Time used by each side: in the game up to the move shown, and, while a
// side is asked in a live game, on this move; the match time left when
// there is one (the person plays without a clock).
function renderClocks() {
  const game = shownGame();
  const live = page.live;
  $('clocks').hidden = !game;
  if (!game) return;
  const used = [0, 0];
  for (const [, , colour, ms] of game.moves.slice(0, game.at)) used[colour - 1] += ms || 0;
  let toMove = 0;
  let thinking = 0;
  if (game.live && page.viewAt === null && live.running && live.turnSince > 0 && !live.verdict) {
    toMove = game.moves.length > 0 ? 3 - game.moves[game.moves.length - 1][2] : 1;
    thinking = Math.max(0, Date.now() + page.skewMs - live.turnSince);
  }
  [['black', 1, game.black], ['white', 2, game.white]].forEach(([colour, c, name]) => {
    const row = $('clock-' + colour);
    const total = used[c - 1] + (toMove === c ? thinking : 0);
    row.classList.toggle('to-move', toMove === c);
    row.querySelector('.who').textContent = name || colour;
    row.querySelector('.move').textContent = toMove === c ? `this move ${clock(thinking)}` : '';
    row.querySelector('.total').textContent = `game ${clock(total)}`;
    const timed = game.live && live.matchMs > 0 && live.human !== colour;
    row.querySelector('.left').textContent = timed ? `left ${clock(live.matchMs - total)}` : '';
  });
}

function renderStatus(game) {
  const live = page.live;
  $('table').hidden = page.mode === 'replay' || !live || !live.table;
  if (live) $('table').textContent = live.table;
  const verdict = $('verdict');
  verdict.hidden = true;
  $('replay-info').textContent = '';
  if (page.placing && page.mode === 'play') {
    $('players').textContent = '';
    $('status').textContent = 'Click points to place the opening\'s stones, black first; click the ' +
                              'last one to lift it. Then choose your colour and press New game.';
    return;
  }
  if (!game) {
    $('players').textContent = '';
    $('status').textContent = page.mode === 'play' ? 'Choose your colour and press New game.'
                            : page.mode === 'watch' ? 'Press Start match.'
                            : 'Open a record to step through it.';
    return;
  }
  if (!game.live) {
    const last = game.moves[game.at - 1];
    $('players').textContent = `black: ${game.black || '?'} · white: ${game.white || '?'}`;
    $('status').textContent = `move ${game.at} of ${game.moves.length}` +
        (last ? `: ${last[2] === 1 ? 'black' : 'white'} ${notation(last[0], last[1])}` : '');
    $('replay-info').textContent = page.replay.illegal
        ? `The record goes on illegally after this (${page.replay.illegal}); the moves before are shown.`
        : '';
    return;
  }
  const number = live.games > 1 ? ` · game ${live.game} of ${live.games}` : '';
  $('players').textContent = live.black ? `black: ${live.black} · white: ${live.white}${number}` : '';
  if (live.kind === 'play' && live.verdict) {
    verdict.hidden = false;
    verdict.textContent = live.verdict + '.';
  }
  let status = live.status;
  if (live.kind === 'play' && live.running && !live.verdict) {
    const opponent = live.human === 'black' ? live.white : live.black;
    const turn = live.yourTurn ? `Your move as ${live.human}: click a point.`
                               : `${opponent || 'The brain'} is thinking…`;
    status = live.moves.length > 0 ? live.status + ' — ' + turn : turn;
  }
  $('status').textContent = status;
}

// Which buttons make sense now.
function renderControls() {
  const live = page.live;
  const mine = page.controller && page.config && page.config.brains.length > 0;
  const playing = mine && live && live.kind === 'play' && live.running && !live.verdict;
  for (const button of document.querySelectorAll('#play-panel button, #watch-panel button')) {
    button.disabled = !mine;
  }
  $('play-resign').disabled = !playing;
  $('play-undo').disabled = !(playing && live.yourTurn && canTakeBack(live));
  $('play-place').setAttribute('aria-pressed', String(page.placing));
  const game = shownGame();
  $('save-psq').disabled = $('save-sgf').disabled = !game;
  const watching = page.mode === 'watch' && live && live.kind === 'watch' && live.game > 0;
  $('save-which').hidden = !watching;
  if (watching) {
    const select = $('save-game');
    const chosen = select.value;
    if (select.options.length !== live.game) {
      select.replaceChildren(...Array.from({ length: live.game }, (_, i) => {
        const option = document.createElement('option');
        option.value = i + 1;
        option.textContent = `game ${i + 1}`;
        return option;
      }));
      select.value = chosen && Number(chosen) < live.game ? chosen : live.game;
    }
  }
  updateNextMover();
}

// The person's last stone and the reply to it are the last two, past the
// opening.
function canTakeBack(live) {
  const moves = live.moves;
  const n = moves.length;
  const mine = live.human === 'black' ? 1 : 2;
  return n - live.openingStones >= 2 && moves[n - 2][2] === mine && moves[n - 1][2] !== mine;
}

function updateNextMover() {
  const size = Number($('play-size').value) || 20;
  const parsed = parseOpening($('play-opening').value, size);
  const note = $('play-next');
  if (parsed.error) {
    note.textContent = parsed.error + '.';
    return;
  }
  const stones = parsed.moves.length;
  const next = stones % 2 === 0 ? 'black' : 'white';
  const who = $('play-colour').value === next ? 'you' : 'the brain';
  note.textContent = (stones === 0 ? 'From the empty board' : `From ${stones} stone${stones > 1 ? 's' : ''}`) +
                     `, ${next} moves ${stones === 0 ? 'first' : 'next'}: ${who}.`;
}

function setMode(mode) {
  page.mode = mode;
  for (const button of document.querySelectorAll('#modes button')) {
    button.classList.toggle('selected', button.dataset.mode === mode);
  }
  $('play-panel').hidden = mode !== 'play';
  $('watch-panel').hidden = mode !== 'watch';
  $('replay-panel').hidden = mode !== 'replay';
  page.viewAt = null;
  say('');
  render();
}

function showRole() {
  const role = $('role');
  role.hidden = page.controller;
  role.textContent = 'Another tab controls this board; this one only shows it. ' +
                     'Close the other tab to play here.';
  clearStaleError();
  render();
}

// A tab the server refused holds nothing live: it says why, and how to
// get in.
function showRefused(reason) {
  document.body.classList.add('refused');
  $('refused').hidden = false;
  $('refused-reason').textContent = reason;
  $('connection').textContent = 'refused';
  $('connection').className = 'lost';
  for (const control of document.querySelectorAll('main button, main input, main select')) {
    control.disabled = true;
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
  events.addEventListener('error', async () => {
    if (events.readyState !== EventSource.CLOSED) {
      $('connection').textContent = 'connection lost, retrying…';
      $('connection').className = 'lost';
      return;
    }
    // Refused: ask once more to learn why, as EventSource does not say.
    let response = null;
    try {
      response = await fetch('/api/events');
    } catch {
      $('connection').textContent = 'connection lost: reload to retry';
      $('connection').className = 'lost';
      return;
    }
    if (response.ok) {
      // A tab closed meanwhile: this one may join after all.
      await response.body.cancel();
      connect();
      return;
    }
    showRefused((await answerOf(response)).error);
  });
  events.addEventListener('hello', (event) => {
    const hello = JSON.parse(event.data);
    page.tab = hello.tab;
    page.skewMs = hello.now - Date.now();
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
    const before = page.live;
    if (before && before.activity !== state.activity) $('log').textContent = '';
    // A new game, or moves taken back past the one shown: back to the newest.
    if (!before || before.activity !== state.activity || before.game !== state.game ||
        (page.viewAt !== null && page.viewAt > state.moves.length)) {
      page.viewAt = null;
    }
    if (before && before.activity !== state.activity && state.kind === 'play') page.placing = false;
    page.live = state;
    clearStaleError();
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
  if (page.placing && page.mode === 'play') {
    placeStone(Number(point.dataset.x), Number(point.dataset.y));
    return;
  }
  const live = page.live;
  if (!live || live.kind !== 'play') {
    say(page.mode === 'play' ? 'Press New game first.' : 'The brains are playing this board.', true);
    return;
  }
  if (page.viewAt !== null) {
    say(`You are looking at move ${page.viewAt}: press End, or click the last move, to play.`, true);
    return;
  }
  const reply = await post('/api/move', { activity: live.activity, x: point.dataset.x, y: point.dataset.y });
  if (reply) say('');
}

// Setting up: a free point takes the next stone, the last stone is lifted.
function placeStone(x, y) {
  const input = $('play-opening');
  const size = Number($('play-size').value) || 20;
  const parsed = parseOpening(input.value, size);
  if (parsed.error) return say(`The opening cannot be shown: ${parsed.error}.`, true);
  const words = parsed.moves.map(([px, py]) => notation(px, py));
  const last = parsed.moves[parsed.moves.length - 1];
  if (last && last[0] === x && last[1] === y) words.pop();
  else if (parsed.moves.some(([px, py]) => px === x && py === y)) {
    return say('Only the last stone placed can be lifted.', true);
  } else words.push(notation(x, y));
  input.value = words.join(' ');
  say('');
  render();
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
  page.replay = { ...reply, at: reply.moves.length, text };
  say('');
  render();
  // The step keys work at once, whatever was clicked to open it.
  if (document.activeElement) document.activeElement.blur();
  $('board-frame').focus();
}

function step(to) {
  const game = shownGame();
  if (!game) return;
  const at = Math.max(0, Math.min(game.moves.length, to(game.at)));
  if (page.mode === 'replay') page.replay.at = at;
  else page.viewAt = at >= game.moves.length ? null : at;
  render();
}

// The file a response carries, saved under the name it gives.
async function saveFrom(response) {
  if (!response.ok) return say((await answerOf(response)).error, true);
  const name = /filename="([^"]+)"/.exec(response.headers.get('Content-Disposition') || '');
  const link = document.createElement('a');
  link.href = URL.createObjectURL(await response.blob());
  link.download = name ? name[1] : 'game.txt';
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(link.href), 1000);
  say('');
}

async function save(format) {
  try {
    if (page.mode === 'replay') {
      if (!page.replay) return;
      await saveFrom(await fetch('/api/record/' + format, { method: 'POST', body: page.replay.text }));
      return;
    }
    const live = page.live;
    if (!live || live.kind === 'none') return;
    const game = page.mode === 'watch' && live.kind === 'watch' ? $('save-game').value : live.game;
    const query = new URLSearchParams({ activity: live.activity, game, format });
    await saveFrom(await fetch('/api/game?' + query));
  } catch {
    say('The server cannot be reached.', true);
  }
}

function wire() {
  for (const button of document.querySelectorAll('#modes button')) {
    button.addEventListener('click', () => setMode(button.dataset.mode));
  }
  $('board').addEventListener('click', clickBoard);
  $('numbers').addEventListener('change', () => {
    $('board').classList.toggle('show-numbers', $('numbers').checked);
  });
  $('moves').addEventListener('click', (event) => {
    const button = event.target.closest('button');
    if (button) step(() => Number(button.dataset.at));
  });
  $('play-panel').addEventListener('submit', async (event) => {
    event.preventDefault();
    say('Starting a game…');
    const reply = await post('/api/play', {
      colour: $('play-colour').value, size: $('play-size').value,
      turnMs: $('play-turn').value, brain: $('play-brain').value,
      opening: $('play-opening').value,
    });
    if (reply) {
      page.placing = false;
      say('');
    }
  });
  $('play-place').addEventListener('click', () => {
    page.placing = !page.placing;
    say('');
    render();
  });
  $('play-swap').addEventListener('click', () => {
    const colour = $('play-colour');
    colour.value = colour.value === 'black' ? 'white' : 'black';
    say(`You play ${colour.value} in the next game.`);
    render();
  });
  for (const id of ['play-opening', 'play-colour', 'play-size']) {
    $(id).addEventListener('input', () => render());
  }
  $('play-undo').addEventListener('click', async () => {
    const live = page.live;
    if (!live || live.kind !== 'play') return;
    if (await post('/api/takeback', { activity: live.activity })) say('');
  });
  $('play-resign').addEventListener('click', async () => {
    const live = page.live;
    if (!live || live.kind !== 'play') return say('There is no game of yours to resign.', true);
    if (await post('/api/resign', { activity: live.activity })) say('You resigned.');
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
  $('save-psq').addEventListener('click', () => save('psq'));
  $('save-sgf').addEventListener('click', () => save('sgf'));
  $('step-first').addEventListener('click', () => step(() => 0));
  $('step-back').addEventListener('click', () => step((at) => at - 1));
  $('step-forward').addEventListener('click', () => step((at) => at + 1));
  $('step-last').addEventListener('click', () => step(() => Infinity));
  document.addEventListener('keydown', (event) => {
    const target = event.target.tagName;
    if (target === 'INPUT' || target === 'SELECT' || target === 'TEXTAREA') return;
    const moves = { ArrowLeft: (at) => at - 1, ArrowRight: (at) => at + 1, Home: () => 0, End: () => Infinity };
    if (moves[event.key] && shownGame()) {
      event.preventDefault();
      step(moves[event.key]);
    }
  });
  setInterval(renderClocks, CLOCK_TICK_MS);
}

wire();
render();
connect();
