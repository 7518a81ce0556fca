// The browser build end to end: the page from build-web/ in headless Chromium (the system's,
// driven by playwright-core), checked on screenshots the way the native end-to-end test checks
// the viewer's window, and GDI's text cells as the canvas gives them against FreeType's. Usage:
//   node browser_test.mjs URL DATA_SET_FOLDER SCREENSHOT_FOLDER NATIVE_GDI_CELLS REFUSED_FOLDERS
// (NATIVE_GDI_CELLS: the output of the native build's kvr_gdi_cells; REFUSED_FOLDERS: a folder
// of folders the page must refuse: too-many, too-large, no-data-set). Prints ok/FAIL per check
// and the page's frame rate; exits with the number of failures. The model downloaded through
// "Download as glTF" goes to the screenshot folder and through the glTF validator (tests/gltf)
// when that is installed.
import { launchChromium } from './headless_chromium.mjs';
import { execFileSync, spawnSync } from 'node:child_process';
import { existsSync, readFileSync, writeFileSync } from 'node:fs';

const [url, dataSet, shots, nativeCells, refusedFolders] = process.argv.slice(2);

let failures = 0;
function check(what, ok, detail) {
  console.log((ok ? 'ok   ' : 'FAIL ') + what + (ok || detail === undefined ? '' : `     (${detail})`));
  if (!ok) ++failures;
}
const atLeast = (what, n, min) => check(what, n >= min, `${n} < ${min}`);
const atMost = (what, n, max) => check(what, n <= max, `${n} > ${max}`);

// A screenshot of the canvas as rows of R, G, B bytes (ImageMagick by full path: another
// `convert` may come first in PATH).
class Shot {
  constructor(name, png) {
    writeFileSync(`${shots}/${name}.png`, png);
    this.rgb = execFileSync('/usr/bin/convert', ['png:-', '-depth', '8', 'rgb:-'], { input: png, maxBuffer: 64 << 20 });
    this.width = 1024;
  }
  pixel(x, y) {
    const at = 3 * (y * this.width + x);
    return [this.rgb[at], this.rgb[at + 1], this.rgb[at + 2]];
  }
  // Pixels of the w x h rectangle at (x, y) for which test(r, g, b) holds.
  count(x, y, w, h, test) {
    let n = 0;
    for (let j = y; j < y + h; ++j) for (let i = x; i < x + w; ++i) if (test(...this.pixel(i, j))) ++n;
    return n;
  }
}

const RED = (r, g, b) => r > 180 && g < 60 && b < 60;
const GREEN = (r, g, b) => g > 180 && r < 60 && b < 60;
const BLUE = (r, g, b) => b > 180 && r < 60 && g < 60;
const YELLOW = (r, g, b) => r > 180 && g > 180 && b < 80;
const LIT = (r, g, b) => r + g + b > 30;

const browser = await launchChromium();
try {
  // The bar above the canvas is 28 pixels high: the canvas shows at its own 1024 x 768.
  const page = await browser.newPage({ viewport: { width: 1024, height: 796 } });
  const messages = [];
  page.on('console', (m) => messages.push(m.text()));
  page.on('pageerror', (e) => messages.push('page error: ' + e.message));

  const canvas = page.locator('#canvas');
  const shot = async (name) => new Shot(name, await canvas.screenshot());
  const frames = () => page.evaluate(() => Module.kvrFrames || 0);
  const waitFrames = async (n) => {
    const start = await frames();
    await page.waitForFunction((s) => (Module.kvrFrames || 0) >= s, start + n, { timeout: 30000 });
  };
  // Page coordinates of a canvas pixel.
  const box = async () => canvas.boundingBox();
  const move = async (x, y) => {
    const b = await box();
    await page.mouse.move(b.x + x, b.y + y);
    await waitFrames(3);  // the idle tick reads the pointer before the button comes
  };
  const click = async (x, y) => {
    await move(x, y);
    await page.mouse.down();
    await page.waitForTimeout(100);
    await page.mouse.up();
    await waitFrames(3);
  };
  const press = async (key) => {
    await page.keyboard.down(key);
    await page.waitForTimeout(150);
    await page.keyboard.up(key);
    await waitFrames(3);
  };

  await page.goto(url);
  await page.waitForFunction(() => window.Module && Module.kvrFrames > 0, null, { timeout: 60000 });
  check('the first frame is shown', true);
  await move(600, 400);
  await waitFrames(10);

  // The frame rate: frames shown in three seconds.
  const f0 = await frames();
  await page.waitForTimeout(3000);
  const fps = ((await frames()) - f0) / 3;
  console.log(`info page frame rate on the sample start screen: ${fps.toFixed(1)} frames a second`);
  atLeast('the page keeps drawing', fps, 2);

  // The start: the sample's first structure, its name, the frame count and the colour bars.
  const start = await shot('00_start');
  atLeast('the first structure is drawn in the middle', start.count(312, 150, 280, 240, LIT), 5000);
  atLeast('its name is written in yellow at the top', start.count(400, 0, 150, 18, YELLOW), 10);
  atLeast('FPS is written in yellow', start.count(700, 0, 60, 16, YELLOW), 10);
  atLeast("the red bar's frame is red", start.count(20, 752, 200, 3, RED), 150);
  atLeast("the green bar's frame is green", start.count(300, 752, 200, 3, GREEN), 150);
  atLeast("the blue bar's frame is blue", start.count(580, 752, 200, 3, BLUE), 150);

  // T: the category panel, the current category (structures, row 6) blue, the others red.
  await press('t');
  const categories = await shot('01_categories');
  for (const row of [0, 1, 2, 3, 4, 5, 7])
    atLeast(`category row ${row} is red`, categories.count(0, 20 * row, 150, 20, RED), 10);
  atLeast('the structures row is blue', categories.count(0, 120, 150, 20, BLUE), 10);
  atMost('the structures row has no red', categories.count(0, 120, 150, 20, RED), 0);

  // A click on BODIES: the sample's five bodies listed in red, no model drawn until one is chosen.
  await click(40, 10);
  await move(600, 400);
  const bodies = await shot('02_bodies_listed');
  for (let row = 0; row < 5; ++row)
    atLeast(`body ${row + 1} is listed in red`, bodies.count(0, 20 * row, 150, 20, RED), 10);
  atMost('no sixth row', bodies.count(0, 100, 150, 60, LIT), 0);
  atMost('no model is drawn', bodies.count(312, 150, 280, 240, LIT), 0);

  // With no model shown there is nothing to download: the page says so and starts none.
  let started = false;
  const noteDownload = () => { started = true; };
  page.on('download', noteDownload);
  await page.click('#download');
  await waitFrames(3);
  page.off('download', noteDownload);
  const nothing = await page.locator('#status').textContent();
  check('"Download as glTF" with no model shown says so', /^No glTF file: no model is shown/.test(nothing), nothing);
  check('  and downloads nothing', !started);

  // The green slider at value 60: the background.
  await click(355, 758);
  await move(600, 400);
  const green = await shot('03_green_background');
  check('the background is (0, 60, 0)', green.pixel(900, 200).join(' ') === '0 60 0', green.pixel(900, 200).join(' '));
  check('everywhere', green.pixel(200, 600).join(' ') === '0 60 0', green.pixel(200, 600).join(' '));

  // F12: the picture is written into the data set's folder in the page's memory, with the
  // screen's colours (the back buffer is read as RGBA and turned into B, G, R, A on the way).
  await press('F12');
  const picture = await page.evaluate(() => {
    try { return Array.from(FS.readFile(FS.cwd() + '/kvrview-0001.png')); } catch (e) { return null; }
  });
  check('F12 writes kvrview-0001.png', picture !== null);
  if (picture) {
    const saved = new Shot('03_f12_picture', Buffer.from(picture));
    check('its background is (0, 60, 0)', saved.pixel(900, 200).join(' ') === '0 60 0', saved.pixel(900, 200).join(' '));
    atLeast('its frame count is yellow, not another colour', saved.count(700, 0, 60, 16, YELLOW), 10);
    atLeast("its red bar's frame is red", saved.count(20, 752, 200, 3, RED), 150);
  }

  // Folders the page refuses, each with a message, before anything of them is in the page's
  // memory: the sample stays as it was shown (the bodies listed over the green background).
  for (const [folder, why] of [['too-many', /more than the 20000/], ['too-large', /more than the 512 MiB/],
                               ['no-data-set', /no duskfen\/KVRStartUp\.gam/]]) {
    await page.setInputFiles('#folder', `${refusedFolders}/${folder}`);
    await page.waitForFunction(() => /still showing/.test(document.getElementById('status').textContent), null,
                               { timeout: 60000 }).catch(() => {});
    const said = await page.locator('#status').textContent();
    check(`a folder of ${folder.replace(/-/g, ' ')} is refused with a message`, why.test(said) &&
          /still showing the sample/.test(said), said);
    check('  and the sample is still the data set read', await page.evaluate(() => FS.cwd()) === '/sample');
    await page.evaluate(() => { document.getElementById('status').textContent = ''; });
  }
  await waitFrames(5);
  const kept = await shot('04_refused_folders');
  check('  and still on screen', kept.pixel(900, 200).join(' ') === '0 60 0' &&
        kept.count(0, 0, 150, 100, RED) >= 50, kept.pixel(900, 200).join(' '));

  // Another data set from the user's disk, through the folder picker. F5 keeps the chosen
  // category, so its first body shows.
  await page.setInputFiles('#folder', dataSet);
  await page.waitForFunction(() => /^Showing /.test(document.getElementById('status').textContent) &&
                                   !/sample/.test(document.getElementById('status').textContent),
                             null, { timeout: 30000 });
  await waitFrames(10);
  const opened = await shot('05_data_set_opened');
  const ORANGE = (r, g, b) => r > 200 && g > 100 && g < 180 && b < 60;
  const PURPLE = (r, g, b) => r > 110 && r < 190 && g < 100 && b > 160;
  atLeast("the data set's first body is drawn in the middle", opened.count(312, 150, 400, 300, LIT), 2000);
  atLeast('with its page', opened.count(212, 100, 600, 500, (r, g, b) => ORANGE(r, g, b) || PURPLE(r, g, b)), 500);
  atLeast('its name is written in yellow at the top', opened.count(400, 0, 150, 18, YELLOW), 10);

  // "Download as glTF": the body shown as a .glb with its page, whole, and valid.
  const [download] = await Promise.all([page.waitForEvent('download', { timeout: 30000 }),
                                        page.click('#download')]);
  check('"Download as glTF" names the file after the model', download.suggestedFilename() === 'bodya.glb',
        download.suggestedFilename());
  const glbPath = `${shots}/${download.suggestedFilename()}`;
  await download.saveAs(glbPath);
  const glb = readFileSync(glbPath);
  check("  the file starts with glTF's magic, version 2", glb.length >= 20 && glb.toString('latin1', 0, 4) === 'glTF' &&
        glb.readUInt32LE(4) === 2, glb.subarray(0, 8).toString('hex'));
  check('  its length field is its length', glb.length >= 12 && glb.readUInt32LE(8) === glb.length,
        `${glb.length >= 12 ? glb.readUInt32LE(8) : '-'} vs ${glb.length}`);
  let json = null;
  try {
    const jsonLength = glb.readUInt32LE(12);
    if (glb.readUInt32LE(16) === 0x4e4f534a) json = JSON.parse(glb.toString('utf8', 20, 20 + jsonLength));
  } catch (e) { /* reported below */ }
  check('  it holds the body and its page', json !== null && json.nodes?.[0]?.name === 'bodya' &&
        json.meshes?.length >= 1 && json.images?.length === 1, JSON.stringify(json)?.slice(0, 300));
  const validator = new URL('../gltf/validate.mjs', import.meta.url).pathname;
  if (existsSync(new URL('../gltf/node_modules/gltf-validator', import.meta.url).pathname)) {
    const run = spawnSync('node', [validator, glbPath], { encoding: 'utf8' });
    check('  the glTF validator finds no error and no warning', run.status === 0 &&
          / 0 errors, 0 warnings/.test(run.stdout), (run.stdout + run.stderr).trim());
  } else {
    console.log('info the glTF validator is not installed (scripts/install-deps): the download is not validated');
  }
  await waitFrames(5);
  const after = await shot('06_after_download');
  atLeast('  the body is still drawn with its page', after.count(212, 100, 600, 500, (r, g, b) => ORANGE(r, g, b) || PURPLE(r, g, b)), 500);

  // The link shows the log of the data set now shown.
  await page.click('#showlog');
  const log = await page.locator('#log').textContent();
  // Its structures' folder is spelt in capitals on disk, in lower case in the manifest.
  check('the log lists the structures of the opened data set', /blocka/.test(log) && /blockc/.test(log), log.slice(0, 300));
  check("the sample's models are not in it", !/pumpjack/.test(log));
  await page.click('#showlog');

  // F5 goes to the viewer (it reads the data set again), not to the browser (a reload).
  await page.evaluate(() => { window.kvrStillHere = true; });
  await press('F5');
  await waitFrames(10);
  check('F5 reads the data set again without reloading the page',
        await page.evaluate(() => window.kvrStillHere === true && Module.kvrFrames > 0));

  // Escape: the program returns from WinMain, the page says so, and the log ends as on Linux.
  await page.keyboard.down('Escape');
  await page.waitForTimeout(150);
  await page.keyboard.up('Escape');
  await page.waitForFunction(() => /ended/.test(document.getElementById('status').textContent), null,
                             { timeout: 10000 }).catch(() => {});
  const status = await page.locator('#status').textContent();
  check('Escape ends the program with 0', /exit code 0\b/.test(status), status);
  await page.click('#showlog');
  const lastLine = (await page.locator('#log').textContent()).trimEnd().split('\n').pop();
  check('the log ends with Closing down', lastLine.trim() === 'Closing down', lastLine);

  // GDI text: the canvas's cells, extents and ink within a pixel of FreeType's.
  const cellsPage = await browser.newPage();
  await cellsPage.goto(url + 'tests/gdi_cells.html');
  await cellsPage.waitForFunction(() => window.kvrLines.includes('END'), null, { timeout: 60000 });
  const web = (await cellsPage.evaluate(() => window.kvrLines)).filter((l) => l !== 'END');
  await cellsPage.close();
  const native = readFileSync(nativeCells, 'utf8').split('\n').filter((l) => l && l !== 'END');
  writeFileSync(`${shots}/gdi_cells_web.txt`, web.join('\n') + '\n');
  check('the browser measures the same strings as the native build', web.length === native.length && web.length > 0,
        `${web.length} lines, native ${native.length}`);
  let worstExtent = 0, worstInk = 0, cellsDiffer = [];
  for (let i = 0; i < Math.min(web.length, native.length); ++i) {
    const w = web[i].split('\t'), n = native[i].split('\t');
    if (w[3] !== n[3]) cellsDiffer.push(`${n[0]} ${n[1]}: cell ${w[3]}, native ${n[3]}`);
    worstExtent = Math.max(worstExtent, Math.abs(Number(w[2]) - Number(n[2])));
    for (let k = 4; k < 8; ++k) worstInk = Math.max(worstInk, Math.abs(Number(w[k]) - Number(n[k])));
  }
  check('text cells are as high as FreeType makes them', cellsDiffer.length === 0, cellsDiffer.join('; '));
  console.log(`info text extents differ from FreeType's by at most ${worstExtent} pixels, ink edges by ${worstInk}`);
  atMost('text extents within a pixel of FreeType\'s', worstExtent, 1);
  atMost('the ink of drawn text within a pixel of FreeType\'s', worstInk, 1);

  // The page as it runs uncapped (for the report; no check rides on it).
  const fast = await browser.newPage({ viewport: { width: 1024, height: 796 } });
  await fast.goto(url + '?uncapped');
  await fast.waitForFunction(() => window.Module && Module.kvrFrames > 20, null, { timeout: 60000 });
  const u0 = await fast.evaluate(() => Module.kvrFrames);
  await fast.waitForTimeout(3000);
  const u1 = await fast.evaluate(() => Module.kvrFrames);
  console.log(`info uncapped page frame rate on the sample start screen: ${((u1 - u0) / 3).toFixed(1)} frames a second`);
  await fast.close();

  const errors = messages.filter((m) => m.startsWith('page error:'));
  check('the page raised no script errors', errors.length === 0, errors.join('; '));
  if (failures) console.log('page messages:\n  ' + messages.join('\n  '));
} catch (e) {
  console.log('FAIL the page could not be driven: ' + e.message);
  ++failures;
} finally {
  await browser.close();
}
process.exit(failures);
