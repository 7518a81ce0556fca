// Runs the Khronos glTF-Validator on each file named and prints one line a file: its errors,
// warnings and the first messages. Exit 0 only when every file has no error and no warning.
// Usage: node validate.mjs FILE.glb...
import { readFile } from 'node:fs/promises';
import { createRequire } from 'node:module';

const require = createRequire(import.meta.url);
const validator = require('gltf-validator');

let failed = 0;
for (const file of process.argv.slice(2)) {
  const bytes = new Uint8Array(await readFile(file));
  const report = await validator.validateBytes(bytes, { maxIssues: 20 });
  const { numErrors, numWarnings, numInfos, numHints } = report.issues;
  const bad = numErrors > 0 || numWarnings > 0;
  if (bad) failed++;
  const shown = report.issues.messages
    .filter((m) => m.severity <= (bad ? 1 : -1))
    .map((m) => `${m.code} ${m.pointer ?? ''} ${m.message}`);
  console.log(`${file}: ${numErrors} errors, ${numWarnings} warnings, ${numInfos} infos, ${numHints} hints` +
    (shown.length ? '\n  ' + shown.join('\n  ') : ''));
}
process.exit(failed ? 1 : 0);
