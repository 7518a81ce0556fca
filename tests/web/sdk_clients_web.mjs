// The small Direct3D 9 programs of tests/clients as pages, in headless Chromium (the system's,
// driven by playwright-core). Each page is opened with the clock fixed and a frame file named in
// its URL, as the native run sets them in the environment; once the program has returned, the
// frame it saved in the page's memory is written to OUT/<name>.png (with the list of its cells,
// <name>.png.cells, when it wrote one) and one line is printed:
//   <name> exit=<code> title=<the page's title>
// or "<name> FAIL <why>". A name given as <name>!<file> is run with <file> taken out of the page's
// memory before the program starts, and the texts of the dialogs it shows are printed too:
//   <name> exit=<code> dialogs=<text|text...>
// A name given as <name>@<text> has <text> typed on the page's keyboard once the program runs:
//   <name> exit=<code>
// Usage: node sdk_clients_web.mjs BASE_URL OUT NAME=MOMENT...
import { launchChromium } from './headless_chromium.mjs';
import { writeFileSync } from 'node:fs';

const [base, out, ...runs] = process.argv.slice(2);
const browser = await launchChromium();
let failures = 0;
try {
  for (const run of runs) {
    const [program, moment] = run.split('=');
    const [target, typed] = program.split('@');
    const [name, missing] = target.split('!');
    const page = await browser.newPage({ viewport: { width: 1200, height: 900 } });
    const dialogs = [];
    page.on('dialog', (d) => { dialogs.push(d.message().replace(/\s+/g, ' ')); d.dismiss(); });
    const messages = [];
    page.on('console', (m) => messages.push(m.text()));
    page.on('pageerror', (e) => messages.push(`page error: ${e.message}`));
    if (missing) {
      await page.addInitScript((file) => {
        window.Module = { onRuntimeInitialized: () => window.Module.FS.unlink(file) };
      }, missing);
    }
    const frame = `${name}.png`;
    const query = new URLSearchParams({ TUTORIAL_TIME_MS: moment, TUTORIAL_FRAME_FILE: frame });
    try {
      await page.goto(`${base}/${name}.html?${query}`);
      if (typed) {
        await page.waitForFunction(() => document.title !== 'Loading…', null, { timeout: 60000 });
        await page.keyboard.type(typed, { delay: 50 });
      }
      await page.waitForFunction(() => window.Module && window.Module.kvrExitCode !== undefined, null,
                                 { timeout: 60000 });
      const exit = await page.evaluate(() => window.Module.kvrExitCode);
      if (typed) {
        process.stdout.write(`${name} exit=${exit}\n`);
      } else if (missing) {
        process.stdout.write(`${name} exit=${exit} dialogs=${dialogs.join('|')}\n`);
      } else {
        const bytes = await page.evaluate((file) => {
          try { return Array.from(window.Module.FS.readFile(file)); } catch (e) { return null; }
        }, frame);
        if (bytes) writeFileSync(`${out}/${frame}`, Buffer.from(bytes));
        // A program may list the cells of its frame beside it.
        const cells = await page.evaluate((file) => {
          try { return window.Module.FS.readFile(file, { encoding: 'utf8' }); } catch (e) { return null; }
        }, `${frame}.cells`);
        if (cells !== null) writeFileSync(`${out}/${frame}.cells`, cells);
        const title = await page.title();
        process.stdout.write(`${name} exit=${exit} title=${title}${bytes ? '' : ' (no frame saved)'}\n`);
      }
    } catch (e) {
      ++failures;
      process.stdout.write(`${name} FAIL ${e.message.split('\n')[0]}; console: ${messages.slice(-5).join(' / ')}\n`);
    }
    await page.close();
  }
} finally {
  await browser.close();
}
process.exit(failures);
