// Headless Chromium for the page tests and benchmarks: the system's browser (KVR_CHROMIUM names
// another), driven by playwright-core, with WebGL 2 on the software renderer and none of the
// services Chromium calls home to (the machine may have no network).
import { chromium } from 'playwright-core';

export function launchChromium() {
  return chromium.launch({
    executablePath: process.env.KVR_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
           '--disable-background-networking', '--disable-component-update', '--disable-sync',
           '--no-first-run', '--disable-quic'],
  });
}
