// The page of quorvex-match --serve in a real browser: Debian's Chromium,
// headless, driven by playwright-core against the real brain (and, for
// what needs a brain that thinks long, the tests' scripted brain). It
// plays by clicking, takes a move back, starts from a typed opening, wins
// with a marked five, saves and reads back records, steps through a live
// game, watches and stops a match, replays records, fits a phone, and
// checks that a closed page and a stopped server leave no brain behind.
// Screenshots go to $QUORVEX_BUILD/browser/.
//
//   QUORVEX_BUILD=build node --test tests/browser/

import { test } from 'node:test';
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import { mkdirSync, mkdtempSync, readdirSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { chromium } from 'playwright-core';

const build = path.resolve(process.env.QUORVEX_BUILD ?? 'build');
const tool = path.join(build, 'tools/match/quorvex-match');
const brain = path.join(build, 'pbrain-quorvex');
// Thinks 2.5 s a move, then plays the first free point in reading order.
const slowBrain = path.join(build, 'tests/gomocup/scripted_brain') + ' late --delay 2500';
const shots = path.join(build, 'browser');
const WAIT_MS = 15000;

// Starts the server on a free port; resolves once it prints its address.
function startServer(out, turnMs, brains) {
  const server = spawn(tool, ['--serve', '--port', '0', '--turn-ms', String(turnMs), '--out', out, ...brains],
                       { stdio: ['ignore', 'pipe', 'inherit'] });
  server.output = '';
  server.exited = new Promise((resolve) => server.on('exit', (code, signal) => resolve({ code, signal })));
  return new Promise((resolve, reject) => {
    const timer = setTimeout(() => reject(new Error('no address printed:\n' + server.output)), WAIT_MS);
    server.stdout.on('data', (chunk) => {
      server.output += chunk;
      const address = /serving on (http:\S+)/.exec(server.output);
      if (address && !server.url) {
        server.url = address[1];
        clearTimeout(timer);
        resolve(server);
      }
    });
    server.on('exit', () => reject(new Error('the server ended:\n' + server.output)));
  });
}

async function stopServer(server) {
  server.kill('SIGTERM');
  const { code } = await server.exited;
  assert.equal(code, 0, 'the server stops cleanly on SIGTERM:\n' + server.output);
}

// The processes the server started (its brains), from every thread's list.
function childrenOf(pid) {
  const tasks = `/proc/${pid}/task`;
  return readdirSync(tasks).flatMap((task) =>
    readFileSync(`${tasks}/${task}/children`, 'utf8').split(' ').filter(Boolean));
}

async function until(what, check) {
  const deadline = Date.now() + WAIT_MS;
  for (;;) {
    if (await check()) return;
    if (Date.now() > deadline) throw new Error('timed out waiting until ' + what);
    await new Promise((resolve) => setTimeout(resolve, 25));
  }
}

const stones = (page) => page.locator('#board .stone').count();
const listed = (page) => page.locator('#moves li').count();
const textOf = (page, selector) => page.locator(selector).textContent();
const yourMove = async (page) => (await textOf(page, '#status')).includes('Your move');

async function clickPoint(page, point) {
  await page.locator(`#board .point[data-point="${point}"]`).click();
}

const activity = (page) => page.locator('body').getAttribute('data-activity');

// Starts a game and waits until the page shows it, not the one before.
async function newGame(page, { brain = '1', colour = 'black', size = '15', turn = null, opening = '' } = {}) {
  await page.selectOption('#play-brain', brain);
  await page.selectOption('#play-size', size);
  await page.selectOption('#play-colour', colour);
  if (turn) await page.selectOption('#play-turn', turn);
  await page.fill('#play-opening', opening);
  const before = await activity(page);
  await page.click('#play-new');
  await until('the new game', async () => (await activity(page)) !== before);
}

// The file a click saves, as text.
async function download(page, selector) {
  const [file] = await Promise.all([page.waitForEvent('download'), page.click(selector)]);
  return { name: file.suggestedFilename(), path: await file.path() };
}

const launchOptions = {
  executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
  headless: true,
  // As root Chromium needs --no-sandbox; the rest keep it from reaching
  // for a network that is not there. Playwright gives it a fresh profile.
  args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
         '--disable-component-update', '--disable-sync'],
};

test('the page of quorvex-match --serve in Chromium', { timeout: 180000 }, async (t) => {
  const out = mkdtempSync(path.join(tmpdir(), 'quorvex-serve-'));
  mkdirSync(shots, { recursive: true });
  const server = await startServer(path.join(out, 'a'), 1000, [brain]);
  const browser = await chromium.launch(launchOptions);
  const context = await browser.newContext({ viewport: { width: 1280, height: 860 } });
  const page = await context.newPage();
  const failures = [];
  page.on('pageerror', (error) => failures.push(error.message));
  page.on('response', (response) => {
    if (response.status() >= 400 && response.request().method() === 'GET' &&
        !response.url().includes('/api/')) {
      failures.push(`${response.status()} for ${response.url()}`);
    }
  });
  try {
    await page.goto(server.url);
    await until('connected', async () => (await textOf(page, '#connection')) === 'connected');

    await t.test('plays the brain by clicking; its replies appear on the board and in the list', async () => {
      await newGame(page, { turn: '1000' });
      await until('asked to move', () => yourMove(page));
      let expected = 0;
      for (const point of ['h8', 'i9', 'g7']) {
        if (await page.locator(`#board .stone[data-point="${point}"]`).count() > 0) continue;
        await clickPoint(page, point);
        expected += 2;
        await until(`the brain answers ${point}`, async () => (await stones(page)) === expected &&
            await yourMove(page));
        const white = await page.locator('#board .stone.white').count();
        assert.equal(white, expected / 2, 'one white stone per reply');
        // The last stone ringed is the brain's.
        const ringed = await page.locator('#board .last').getAttribute('data-point');
        assert.equal(await page.locator(`#board .stone.white[data-point="${ringed}"]`).count(), 1);
        assert.equal(await listed(page), expected);
        assert.equal(await textOf(page, '#moves li:last-child'), `${expected}. ${ringed}`);
      }
      assert.ok(expected >= 4);
      // Moves are named by the board's letters, the protocol's numbers beside.
      assert.match(await textOf(page, '#status'), /^move \d+: white \(pbrain-quorvex\) [a-o]\d+ \(\d+,\d+\), \d+ ms/);
    });

    await t.test('an occupied point is refused with a message and changes nothing', async () => {
      const before = await stones(page);
      const taken = await page.locator('#board .stone.white').first().getAttribute('data-point');
      await clickPoint(page, taken);
      await until('the refusal', async () =>
        (await textOf(page, '#message')).includes(`${taken} is taken`));
      assert.equal(await stones(page), before);
      assert.ok(await yourMove(page));
    });

    await t.test('the move list steps back in the live game without disturbing it', async () => {
      const all = await stones(page);
      await page.click('#moves li:first-child button');
      assert.equal(await stones(page), 1);
      assert.match(await textOf(page, '#viewing'), new RegExp(`^Showing move 1 of ${all}`));
      await page.keyboard.press('ArrowRight');
      assert.equal(await stones(page), 2);
      // A click on the board while looking back plays nothing.
      await clickPoint(page, 'a15');
      assert.match(await textOf(page, '#message'), /You are looking at move 2/);
      assert.ok(await yourMove(page), 'still the person to move');
      await page.keyboard.press('End');
      assert.equal(await stones(page), all);
      assert.equal(await page.locator('#board .stone[data-point="a15"]').count(), 0);
    });

    await t.test('takes back against the real brain, which then answers on the earlier position', async () => {
      const before = await stones(page);
      const reply = await page.locator('#board .last').getAttribute('data-point');
      const brainBefore = childrenOf(server.pid);
      await page.click('#play-undo');
      await until('two stones fewer', async () => (await stones(page)) === before - 2 && await yourMove(page));
      assert.equal(await listed(page), before - 2);
      assert.match(await textOf(page, '#log'), /taken back: move \d+ black [a-o]\d+ \(\d+,\d+\), move \d+ white/);
      // The point of the reply taken back: a brain still holding the old
      // position would take it for its own stone.
      await clickPoint(page, reply);
      await until('the brain answers', async () => (await stones(page)) === before && await yourMove(page));
      const status = await textOf(page, '#status');
      assert.doesNotMatch(status, /wins/, 'no forfeit: ' + status);
      assert.notDeepEqual(childrenOf(server.pid), brainBefore, 'the brain was started afresh');
      assert.equal(childrenOf(server.pid).length, 1);
    });

    await t.test('a second tab only shows the board and is told why', async () => {
      const second = await context.newPage();
      await second.goto(server.url);
      await until('the viewer note', async () => second.locator('#role').isVisible());
      assert.match(await textOf(second, '#role'), /Another tab controls this board/);
      await until('the same board', async () => (await stones(second)) === (await stones(page)));
      await clickPoint(second, 'a1');
      await until('the refusal', async () =>
        (await textOf(second, '#message')).includes('Another tab controls'));
      await second.close();
      assert.equal(await page.locator('#board .stone[data-point="a1"]').count(), 0);
    });

    await t.test('starts from a typed opening; the brain moves next when the person chose so', async () => {
      // Stones placed by clicking land in the opening, the last one lifts.
      await page.click('#play-place');
      await clickPoint(page, 'h8');
      await clickPoint(page, 'i9');
      assert.equal(await page.inputValue('#play-opening'), 'h8 i9');
      await clickPoint(page, 'i9');
      assert.equal(await page.inputValue('#play-opening'), 'h8');
      await page.click('#play-place');
      await newGame(page, { colour: 'black', opening: 'h8 i9 i7' });
      assert.match(await textOf(page, '#play-next'), /From 3 stones, white moves next: the brain/);
      await until('the brain answers the opening', async () => (await stones(page)) === 4 && await yourMove(page));
      for (const [i, point] of ['h8', 'i9', 'i7'].entries()) {
        assert.equal(await textOf(page, `#moves li:nth-child(${i + 1})`), `${i + 1}. ${point}`);
      }
      assert.equal(await page.locator('#moves li.opening').count(), 3);
    });

    await t.test('the winning five is marked, the person told, the game saved and read back', async () => {
      // Black has four in a row and moves: l8 makes five.
      await newGame(page, { colour: 'black', opening: 'h8 a1 i8 b1 j8 c1 k8 d1' });
      await until('asked to move', async () => (await stones(page)) === 8 && await yourMove(page));
      await clickPoint(page, 'l8');
      await until('the verdict', async () => (await textOf(page, '#verdict')) === 'You won.');
      assert.equal(await page.locator('#board .five').getAttribute('data-points'), 'h8 i8 j8 k8 l8');
      assert.match(await textOf(page, '#status'), /black \(human\) wins with five in a row/);
      assert.match(await textOf(page, '#table'), /Elo difference \(1 - 2\): not enough games/);
      assert.doesNotMatch(await textOf(page, '#table'), /inf|-0\b/);

      const sgf = await download(page, '#save-sgf');
      const psq = await download(page, '#save-psq');
      assert.match(sgf.name, /^play-\d{3}-game-001\.sgf$/);
      assert.equal(psq.name, sgf.name.replace('.sgf', '.psq'));
      const text = readFileSync(sgf.path, 'utf8');
      for (const part of ['GM[4]', 'SZ[15]', 'PB[human]', 'PW[pbrain-quorvex]', 'RE[B+]', ';B[hh];W[aa]']) {
        assert.ok(text.includes(part), `${part} in ${text}`);
      }
      // Both read back by the tool's own reader, as Replay opens them.
      await page.click('#modes [data-mode="replay"]');
      for (const file of [sgf, psq]) {
        await page.setInputFiles('#replay-file', file.path);
        await until(`${file.name} replayed`, async () => (await textOf(page, '#status')).startsWith('move 9 of 9'));
        assert.equal(await page.locator('#board .five').getAttribute('data-points'), 'h8 i8 j8 k8 l8');
        assert.match(await textOf(page, '#players'), /black: human · white: pbrain-quorvex/);
      }
      await page.click('#modes [data-mode="play"]');
      await page.check('#numbers');
      await page.screenshot({ path: path.join(shots, 'serve-desktop-light.png') });
      await page.emulateMedia({ colorScheme: 'dark' });
      const background = await page.evaluate(() => getComputedStyle(document.body).backgroundColor);
      assert.equal(background, 'rgb(23, 20, 15)', 'the dark theme follows the system');
      await page.screenshot({ path: path.join(shots, 'serve-desktop-dark.png') });
      await page.emulateMedia({ colorScheme: 'light' });
    });

    await t.test('a phone holds the board and its controls without scrolling sideways', async () => {
      for (const [width, height] of [[390, 844], [844, 390]]) {
        await page.setViewportSize({ width, height });
        const fits = await page.evaluate(() => document.documentElement.scrollWidth <= innerWidth);
        assert.ok(fits, `no sideways scrolling at ${width}x${height}`);
        const [a, b] = await Promise.all(['a1', 'b1'].map((point) =>
          page.locator(`#board .point[data-point="${point}"]`).boundingBox()));
        const spacing = b.x - a.x;
        if (width < height) assert.ok(spacing >= 22, `15x15 points ${spacing} px apart`);
      }
      await page.setViewportSize({ width: 390, height: 844 });
      await page.screenshot({ path: path.join(shots, 'serve-phone-light.png') });
      await page.emulateMedia({ colorScheme: 'dark' });
      await page.screenshot({ path: path.join(shots, 'serve-phone-dark.png') });
      await page.emulateMedia({ colorScheme: 'light' });
      await page.setViewportSize({ width: 1280, height: 860 });
    });

    await t.test('watches a match, steps back in it while it goes on, and stops it', async () => {
      await page.click('#modes [data-mode="watch"]');
      await page.fill('#watch-games', '2');
      await page.selectOption('#watch-size', '15');
      await page.selectOption('#watch-turn', '200');
      // The brain answers at once in most positions: a pause paces the match.
      await page.selectOption('#watch-pause', '250');
      const before = await activity(page);
      await page.click('#watch-start');
      await until('the match', async () => (await activity(page)) !== before);
      // Brains on both sides: the match's board, not the game it replaced.
      await until('moves of the match', async () => (await stones(page)) >= 3 &&
          (await textOf(page, '#players')).startsWith('black: pbrain-quorvex · white: pbrain-quorvex'));
      assert.match(await textOf(page, '#log'), /game 1\/2: black 1: pbrain-quorvex, white 2: pbrain-quorvex/);
      await page.click('#moves li:nth-child(2) button');
      const seen = await listed(page);
      await until('more moves listed', async () => (await listed(page)) >= seen + 2);
      assert.equal(await stones(page), 2, 'the board stays at move 2');
      await page.click('#step-last');
      assert.ok((await stones(page)) >= seen + 2);
      await page.click('#watch-stop');
      await until('stopped', async () => (await textOf(page, '#message')) === 'Stopped.');
      assert.deepEqual(childrenOf(server.pid), [], 'no brain runs after Stop');
    });

    await t.test('replays a record of another manager; the keys work as soon as it is open', async () => {
      await page.click('#modes [data-mode="replay"]');
      await page.setInputFiles('#replay-file', {
        name: 'broken.psq', mimeType: 'text/plain', buffer: Buffer.from('not a record\n'),
      });
      await until('the refusal', async () =>
        (await textOf(page, '#message')).includes('This record cannot be read'));
      const psq = 'Piskvorky 20x20, 11:11, 0\r\n10,10,120\r\n11,11,80\r\n10,11,95\r\n9,12,40\r\n' +
                  '10,12,300\r\n10,9,12\r\n11,12,50\r\npbrain-alpha.exe\r\npbrain-beta.exe\r\n-1\r\n';
      // As a person opens it: the file chooser keeps the focus.
      await page.focus('#replay-file');
      await page.setInputFiles('#replay-file', {
        name: 'other.psq', mimeType: 'text/plain', buffer: Buffer.from(psq),
      });
      await until('the record', async () => (await textOf(page, '#status')).startsWith('move 7 of 7'));
      assert.equal(await textOf(page, '#message'), '', 'the refusal went with the record it was about');
      assert.match(await textOf(page, '#players'), /black: pbrain-alpha.exe · white: pbrain-beta.exe/);
      await page.keyboard.press('Home');
      assert.equal(await stones(page), 0);
      for (let i = 0; i < 3; ++i) await page.keyboard.press('ArrowRight');
      assert.equal(await stones(page), 3);
      assert.equal(await page.locator('#board .last').getAttribute('data-point'), 'j11');
      await page.keyboard.press('End');
      await page.keyboard.press('ArrowLeft');
      assert.equal(await stones(page), 6);
      assert.match(await textOf(page, '#status'), /^move 6 of 7: white j9/);
      const sgf = await download(page, '#save-sgf');
      assert.match(readFileSync(sgf.path, 'utf8'), /^\(;FF\[4\]GM\[4\].*SZ\[20\]PB\[pbrain-alpha.exe\]/);
      await page.click('#replay-played');
      await until('the last game played here', async () =>
        /^move (\d+) of \1/.test(await textOf(page, '#status')));
    });

    await t.test('a tab beyond the limit is refused with a page that controls nothing', async () => {
      const others = await Promise.all([1, 2, 3].map(async () => {
        const other = await context.newPage();
        await other.goto(server.url);
        await until('connected', async () => (await textOf(other, '#connection')) === 'connected');
        return other;
      }));
      const refused = await context.newPage();
      await refused.goto(server.url);
      await until('the refusal page', async () => refused.locator('#refused').isVisible());
      assert.match(await textOf(refused, '#refused-reason'), /Too many tabs are open on this board/);
      assert.equal(await refused.locator('main').isVisible(), false);
      assert.equal(await refused.locator('#modes').isVisible(), false);
      await Promise.all([...others, refused].map((other) => other.close()));
      const icon = await page.request.get(server.url + 'favicon.ico');
      assert.equal(icon.status(), 200);
      assert.equal(icon.headers()['content-type'], 'image/x-icon');
    });

    await t.test('a closed page ends the game and its brain', async () => {
      await page.click('#modes [data-mode="play"]');
      await newGame(page, { colour: 'white', opening: '' });
      await until('the brain opens', async () => (await stones(page)) === 1);
      assert.equal(childrenOf(server.pid).length, 1, 'the brain runs');
      await page.close();
      await until('the brain has ended', () => childrenOf(server.pid).length === 0);
    });
    assert.deepEqual(failures, [], 'no error in the page, no missing file');
  } finally {
    await browser.close();
    await stopServer(server);
    rmSync(out, { recursive: true, force: true });
  }
});

// A brain that thinks 2.5 s a move beside the real one, and the command
// line's shortest turn times: what happens while a brain thinks.
test('the page while the brain thinks', { timeout: 120000 }, async (t) => {
  const out = mkdtempSync(path.join(tmpdir(), 'quorvex-serve-'));
  const server = await startServer(out, 50, [brain, slowBrain]);
  const browser = await chromium.launch(launchOptions);
  const page = await browser.newPage({ viewport: { width: 1280, height: 860 } });
  const failures = [];
  page.on('pageerror', (error) => failures.push(error.message));
  const slowThinking = async () => (await textOf(page, '#status')).includes('scripted_brain is thinking');
  try {
    await page.goto(server.url);
    await until('connected', async () => (await textOf(page, '#connection')) === 'connected');

    await t.test('a turn time the command line takes is offered and taken', async () => {
      assert.equal(await page.inputValue('#play-turn'), '50');
      await newGame(page);
      await until('asked to move', () => yourMove(page));
      assert.equal(await textOf(page, '#message'), '');
    });

    await t.test('a refusal goes once it no longer applies; the clock runs', async () => {
      await newGame(page, { brain: '2', turn: '10000' });
      await until('asked to move', () => yourMove(page));
      await clickPoint(page, 'h8');
      await until('the brain thinks', slowThinking);
      await clickPoint(page, 'i9');
      await until('the refusal', async () => (await textOf(page, '#message')).startsWith('Not your turn'));
      const first = await textOf(page, '#clock-white .move');
      await new Promise((resolve) => setTimeout(resolve, 600));
      const later = await textOf(page, '#clock-white .move');
      const secondsOf = (text) => Number(/this move ([\d.]+) s/.exec(text)[1]);
      assert.ok(secondsOf(later) >= secondsOf(first) + 0.4, `${first} then ${later}`);
      await until('the brain answers', () => yourMove(page));
      assert.equal(await textOf(page, '#message'), '');
      assert.match(await textOf(page, '#clock-white .total'), /^game 2\.\d s$/);
    });

    await t.test('Resign while the brain thinks ends the game at once, as a resignation', async () => {
      await clickPoint(page, 'i9');
      await until('the brain thinks', slowThinking);
      const pressed = Date.now();
      await page.click('#play-resign');
      await until('the verdict', async () => (await textOf(page, '#verdict')) === 'You resigned.');
      assert.ok(Date.now() - pressed < 1000, `shown after ${Date.now() - pressed} ms`);
      assert.match(await textOf(page, '#status'), /white \(scripted_brain\) wins: black \(human\) resigned/);
      assert.match(await textOf(page, '#table'), /games 1, forfeits 0/);
      await until('the brain has ended', () => childrenOf(server.pid).length === 0);
    });

    await t.test('New game while the brain thinks shows the new board at once', async () => {
      await newGame(page, { brain: '2', turn: '10000' });
      await until('asked to move', () => yourMove(page));
      await clickPoint(page, 'h8');
      await until('the brain thinks', slowThinking);
      const [pressed, before] = [Date.now(), await activity(page)];
      await page.click('#play-new');
      await until('the new board', async () => (await activity(page)) !== before &&
          (await stones(page)) === 0 && await yourMove(page));
      assert.ok(Date.now() - pressed < 1000, `shown after ${Date.now() - pressed} ms`);
    });
    assert.deepEqual(failures, [], 'no error in the page');
  } finally {
    await browser.close();
    await stopServer(server);
    rmSync(out, { recursive: true, force: true });
  }
});
