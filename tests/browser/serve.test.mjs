// The page of quorvex-match --serve in a real browser: Debian's Chromium,
// headless, driven by playwright-core against the real brain. It plays by
// clicking, is refused an occupied point, watches a match and stops it,
// replays a record from another manager, and checks that a closed page and
// a stopped server leave no brain behind. Screenshots go to
// $QUORVEX_BUILD/browser/.
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
const shots = path.join(build, 'browser');
const WAIT_MS = 15000;

// Starts the server on a free port; resolves once it prints its address.
function startServer(out) {
  const server = spawn(tool, ['--serve', '--port', '0', '--turn-ms', '1000', '--out', out, brain],
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
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
}

const stones = (page) => page.locator('#board .stone').count();
const textOf = (page, selector) => page.locator(selector).textContent();

async function clickPoint(page, point) {
  await page.locator(`#board .point[data-point="${point}"]`).click();
}

test('the page of quorvex-match --serve in Chromium', { timeout: 120000 }, async (t) => {
  const out = mkdtempSync(path.join(tmpdir(), 'quorvex-serve-'));
  mkdirSync(shots, { recursive: true });
  const server = await startServer(out);
  const browser = await chromium.launch({
    executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
    headless: true,
    // As root Chromium needs --no-sandbox; the rest keep it from reaching
    // for a network that is not there. Playwright gives it a fresh profile.
    args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
           '--disable-component-update', '--disable-sync'],
  });
  const context = await browser.newContext({ viewport: { width: 1280, height: 860 } });
  const page = await context.newPage();
  const failures = [];
  page.on('pageerror', (error) => failures.push(error.message));
  try {
    await page.goto(server.url);
    await until('connected', async () => (await textOf(page, '#connection')) === 'connected');

    await t.test('plays the brain by clicking; its replies appear on the board', async () => {
      await page.selectOption('#play-size', '15');
      await page.selectOption('#play-colour', 'black');
      await page.selectOption('#play-turn', '1000');
      await page.click('#play-new');
      await until('asked to move', async () => (await textOf(page, '#status')).includes('Your move'));
      let expected = 0;
      for (const point of ['h8', 'i9', 'g7']) {
        if (await page.locator(`#board .stone[data-point="${point}"]`).count() > 0) continue;
        await clickPoint(page, point);
        expected += 2;
        await until(`the brain answers ${point}`, async () => (await stones(page)) === expected &&
            (await textOf(page, '#status')).includes('Your move'));
        const white = await page.locator('#board .stone.white').count();
        assert.equal(white, expected / 2, 'one white stone per reply');
        // The last stone ringed is the brain's.
        const ringed = await page.locator('#board .last').getAttribute('data-point');
        assert.equal(await page.locator(`#board .stone.white[data-point="${ringed}"]`).count(), 1);
      }
      assert.ok(expected >= 4);
    });

    await t.test('an occupied point is refused with a message and changes nothing', async () => {
      const before = await stones(page);
      const taken = await page.locator('#board .stone.white').first().getAttribute('data-point');
      await clickPoint(page, taken);
      await until('the refusal', async () =>
        (await textOf(page, '#message')).includes(`${taken} is taken`));
      assert.equal(await stones(page), before);
      assert.match(await textOf(page, '#status'), /Your move/);
      await page.check('#numbers');
      await page.locator('#board').screenshot({ path: path.join(shots, 'serve-board.png') });
      await page.screenshot({ path: path.join(shots, 'serve.png') });
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

    await t.test('watches a match of the brain against itself and stops it', async () => {
      await page.click('#modes [data-mode="watch"]');
      await page.fill('#watch-games', '2');
      await page.selectOption('#watch-size', '15');
      await page.selectOption('#watch-turn', '200');
      await page.click('#watch-start');
      // Brains on both sides: the match's board, not the game it replaced.
      await until('moves of the match', async () => (await stones(page)) >= 3 &&
          (await textOf(page, '#players')).startsWith('black: pbrain-quorvex · white: pbrain-quorvex'));
      assert.match(await textOf(page, '#log'), /game 1\/2: black 1: pbrain-quorvex, white 2: pbrain-quorvex/);
      await page.click('#watch-stop');
      await until('stopped', async () => (await textOf(page, '#message')) === 'Stopped.');
      assert.deepEqual(childrenOf(server.pid), [], 'no brain runs after Stop');
    });

    await t.test('replays a record of another manager, step by step', async () => {
      await page.click('#modes [data-mode="replay"]');
      await page.setInputFiles('#replay-file', {
        name: 'broken.psq', mimeType: 'text/plain', buffer: Buffer.from('not a record\n'),
      });
      await until('the refusal', async () =>
        (await textOf(page, '#message')).includes('This record cannot be read'));
      const psq = 'Piskvorky 20x20, 11:11, 0\r\n10,10,120\r\n11,11,80\r\n10,11,95\r\n9,12,40\r\n' +
                  '10,12,300\r\n10,9,12\r\n11,12,50\r\npbrain-alpha.exe\r\npbrain-beta.exe\r\n-1\r\n';
      await page.setInputFiles('#replay-file', {
        name: 'other.psq', mimeType: 'text/plain', buffer: Buffer.from(psq),
      });
      await until('the record', async () => (await textOf(page, '#status')).startsWith('move 7 of 7'));
      assert.equal(await stones(page), 7);
      assert.match(await textOf(page, '#players'), /black: pbrain-alpha.exe · white: pbrain-beta.exe/);
      await page.click('#replay-first');
      assert.equal(await stones(page), 0);
      for (let i = 0; i < 3; ++i) await page.click('#replay-forward');
      assert.equal(await stones(page), 3);
      assert.equal(await page.locator('#board .last').getAttribute('data-point'), 'j11');
      await page.click('#replay-end');
      await page.click('#replay-back');
      assert.equal(await stones(page), 6);
      assert.match(await textOf(page, '#status'), /^move 6 of 7: white j9/);
      await page.click('#replay-played');
      await until('the last game played here', async () =>
        /^move (\d+) of \1/.test(await textOf(page, '#status')));
    });

    await t.test('a closed page ends the game and its brain', async () => {
      await page.click('#modes [data-mode="play"]');
      await page.selectOption('#play-colour', 'white');
      await page.click('#play-new');
      await until('the brain opens', async () => (await stones(page)) === 1);
      assert.equal(childrenOf(server.pid).length, 1, 'the brain runs');
      await page.close();
      await until('the brain has ended', () => childrenOf(server.pid).length === 0);
    });
    assert.deepEqual(failures, [], 'no error in the page');
  } finally {
    await browser.close();
    server.kill('SIGTERM');
    const { code } = await server.exited;
    rmSync(out, { recursive: true, force: true });
    assert.equal(code, 0, 'the server stops cleanly on SIGTERM:\n' + server.output);
  }
});
