// scripts/bench-web's driver: the page in headless Chromium (playwright-core from tests/web) and
// the native viewer, in alternating rounds. Usage:
//   node bench-web.mjs URL KVRVIEW SAMPLE_FOLDER ROUNDS SECONDS
// Each round opens the page as a visitor does (the time from navigation to the first frame that
// shows the start screen), then the page with ?uncapped (the median time between its frames
// over SECONDS once it shows the start screen), then runs `KVRVIEW --frames 1000 SAMPLE_FOLDER`
// headless (its median frame time).
import { execFileSync } from 'node:child_process';
import { launchChromium } from '../tests/web/headless_chromium.mjs';

const [url, kvrview, sample, roundsArg, secondsArg] = process.argv.slice(2);
const rounds = Number(roundsArg) || 5;
const seconds = Number(secondsArg) || 3;
const nativeFrames = 1000;

// Runs in the page before its scripts: notes the time of every frame the program shows
// (Module.kvrFrames counts them) and the first one that shows the start screen, told from the
// loading screen by the red and green bars' frames at the bottom. The drawing buffer is read
// right after the program has drawn into it, before the browser shows it.
function watchFrames() {
  const watch = { times: [], startScreen: null };
  window.kvrWatch = watch;
  const barsShown = () => {
    const gl = document.getElementById('canvas').getContext('webgl2');
    if (!gl) return false;
    const bound = gl.getParameter(gl.READ_FRAMEBUFFER_BINDING);
    const pixels = new Uint8Array(4 * 480 * 3);
    gl.bindFramebuffer(gl.READ_FRAMEBUFFER, null);
    // Rows 752..754 from the top of the 768-row canvas; GL counts rows from the bottom.
    gl.readPixels(20, 13, 480, 3, gl.RGBA, gl.UNSIGNED_BYTE, pixels);
    gl.bindFramebuffer(gl.READ_FRAMEBUFFER, bound);
    let red = 0, green = 0;
    for (let row = 0; row < 3; ++row)
      for (let x = 0; x < 480; ++x) {
        const at = 4 * (row * 480 + x);
        const [r, g, b] = [pixels[at], pixels[at + 1], pixels[at + 2]];
        if (x < 200 && r > 180 && g < 60 && b < 60) ++red;
        if (x >= 280 && g > 180 && r < 60 && b < 60) ++green;
      }
    return red >= 150 && green >= 150;
  };
  let module;
  Object.defineProperty(window, 'Module', {
    configurable: true,
    get: () => module,
    set: (m) => {
      if (m === module) return;
      module = m;
      let frames = 0;
      Object.defineProperty(m, 'kvrFrames', {
        configurable: true,
        get: () => frames,
        set: (n) => {
          frames = n;
          const now = performance.now();
          watch.times.push(now);
          if (watch.startScreen === null && barsShown()) watch.startScreen = now;
        },
      });
    },
  });
}

const median = (values) => {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted.length ? sorted[(sorted.length - 1) >> 1] : NaN;
};

const browser = await launchChromium();

// A fresh context (no cache from the previous round) with the page at `address` until it shows
// the start screen; gives the context, the page and the watch's start-screen time (ms from the
// navigation).
async function open(address) {
  const context = await browser.newContext({ viewport: { width: 1024, height: 796 } });
  await context.addInitScript(watchFrames);
  const page = await context.newPage();
  await page.goto(address);
  await page.waitForFunction(() => window.kvrWatch.startScreen !== null, null, { timeout: 60000, polling: 50 });
  return { context, page, startScreen: await page.evaluate(() => window.kvrWatch.startScreen) };
}

const starts = [], pageTimes = [], nativeTimes = [];
let status = 0;
try {
  for (let round = 1; round <= rounds; ++round) {
    const visit = await open(url);
    starts.push(visit.startScreen);
    await visit.context.close();

    const fast = await open(url + '?uncapped');
    await fast.page.waitForTimeout(500);  // past the first frames' shader compiles
    const from = await fast.page.evaluate(() => window.kvrWatch.times.length);
    await fast.page.waitForTimeout(seconds * 1000);
    const times = await fast.page.evaluate((n) => window.kvrWatch.times.slice(n), from);
    await fast.context.close();
    const gaps = times.slice(1).map((t, i) => t - times[i]);
    pageTimes.push(median(gaps));

    const out = execFileSync(kvrview, ['--frames', String(nativeFrames), sample],
                             { env: { ...process.env, SDL_VIDEODRIVER: 'offscreen' }, encoding: 'utf8' });
    const m = /^frames \d+ median ([\d.]+) ms/m.exec(out);
    if (!m) throw new Error('kvrview --frames printed no median: ' + out.trim());
    nativeTimes.push(Number(m[1]));
    console.log(`round ${round}: page ${pageTimes.at(-1).toFixed(2)} ms over ${gaps.length} frames, ` +
                `native ${nativeTimes.at(-1).toFixed(2)} ms, start screen after ${starts.at(-1).toFixed(0)} ms`);
  }
} catch (e) {
  console.error('bench-web: ' + e.message);
  status = 1;
} finally {
  await browser.close();
}
if (status) process.exit(status);

const page = median(pageTimes), native = median(nativeTimes), start = median(starts);
const ratio = page / native;
console.log(`${rounds} rounds on the sample's start screen, 1024x768, headless`);
console.log(`page (uncapped)  median ${page.toFixed(2)} ms  ${(1000 / page).toFixed(1)} frames/s`);
console.log(`native           median ${native.toFixed(2)} ms  ${(1000 / native).toFixed(1)} frames/s`);
console.log(`ratio            ${ratio.toFixed(2)} times the native frame time (goal <= 2, ${ratio <= 2 ? 'met' : 'NOT MET'})`);
console.log(`start screen     median ${start.toFixed(0)} ms from navigation (goal <= 1500 ms, ${start <= 1500 ? 'met' : 'NOT MET'})`);
