// SPDX-License-Identifier: GPL-3.0-or-later
// The baseline of the navigation benchmark: Playwright driving the same
// Chromium on the same flags to the same local page. Prints one line of
// JSON: launch time and per-navigation times for 'commit' and 'load'.
//
// Usage: node navigate_playwright.mjs <url> <count> <executable>
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { performance } from 'node:perf_hooks';
import { chromium } from 'playwright-core';

const [url, countText, executablePath] = process.argv.slice(2);
const count = Number(countText);
const args = [
    '--no-first-run', '--no-default-browser-check', '--disable-background-networking',
    '--disable-component-update', '--disable-sync', '--test-type', '--disable-gpu',
];
if (process.getuid && process.getuid() === 0)
    args.push('--no-sandbox');

const profile = mkdtempSync(join(tmpdir(), 'pw-bench-'));
const launchStart = performance.now();
const context = await chromium.launchPersistentContext(profile, {
    executablePath, headless: true, args,
});
const page = context.pages()[0] || await context.newPage();
await page.goto('about:blank');
const launch = performance.now() - launchStart;

const timesFor = async (waitUntil) => {
    const times = [];
    for (let i = 0; i < count; ++i) {
        const start = performance.now();
        await page.goto(`${url}?${waitUntil}${i}`, { waitUntil });
        times.push(performance.now() - start);
    }
    return times;
};
const commit = await timesFor('commit');
const load = await timesFor('load');
await context.close();
rmSync(profile, { recursive: true, force: true });
console.log(JSON.stringify({ launch, commit, load }));
