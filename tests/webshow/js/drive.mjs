// SPDX-License-Identifier: GPL-3.0-or-later
// Plays one scenario of a generated web show in headless Chromium as the
// viewer, and prints the pages' state as one line of JSON.
// Usage: node drive.mjs <scenario.json>
//   { "url": "...", "open": "start" | "direct",
//     "steps": [ { "click": "#btnStart" } | { "wait": ms } | { "status": true } ] }
// "navigations" lists every top-level page each window showed, with the
// milliseconds since the scenario began; a "status" step notes the show
// page's status line at that moment.
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { chromium } from 'playwright-core';

const scenario = JSON.parse(readFileSync(process.argv[2], 'utf8'));
const executablePath = process.env.PW_CHROMIUM || '/usr/bin/chromium';

// Never outlive the test that started us.
setTimeout(() => {
    console.error('drive.mjs: scenario took too long');
    process.exit(3);
}, 90000).unref();

const result = { popup: false, hacked: [], dialogs: [], pageErrors: [], navigations: [], statuses: [] };
const began = Date.now();
const windows = [];

const profile = mkdtempSync(join(tmpdir(), 'pw-webshow-'));
const args = ['--headless=new', '--disable-gpu', '--no-first-run', '--no-default-browser-check',
    '--disable-background-networking', '--disable-component-update', '--disable-sync', '--test-type'];
if (process.getuid && process.getuid() === 0)
    args.push('--no-sandbox');

// A profile of our own; the pop-up blocker stays on, as a viewer has it.
const context = await chromium.launchPersistentContext(profile, {
    executablePath,
    headless: false,
    args,
    ignoreDefaultArgs: ['--disable-popup-blocking'],
    viewport: null,
});
context.setDefaultTimeout(10000);

function watch(page) {
    page.on('dialog', async (dialog) => {
        result.dialogs.push(dialog.message());
        await dialog.dismiss().catch(() => {});
    });
    page.on('pageerror', (error) => result.pageErrors.push(String(error)));
    windows.push(page);
    page.on('framenavigated', (frame) => {
        if (frame === page.mainFrame())
            result.navigations.push({ window: windows.indexOf(page), url: frame.url(), msecs: Date.now() - began });
    });
}
context.on('page', watch);

try {
    let first = context.pages()[0];
    if (first)
        watch(first);
    else
        first = await context.newPage();
    await first.goto(scenario.url);

    let control = first;
    if (scenario.open === 'start') {
        const [popup] = await Promise.all([
            context.waitForEvent('page'),
            first.click('#startShow'),
        ]);
        await popup.waitForLoadState('load');
        control = popup;
        result.popup = true;
    }

    for (const step of scenario.steps || []) {
        if (step.click)
            await control.click(step.click);
        else if (step.wait)
            await control.waitForTimeout(step.wait);
        else if (step.status)
            result.statuses.push(await control.evaluate(() => document.getElementById('pwStatus').textContent));
    }

    result.controlUrl = control.url();
    result.slideWindowUrl = first.url();
    const state = await control.evaluate(() => ({
        mode: document.body.className,
        title: document.title,
        status: document.getElementById('pwStatus').textContent,
        slides: Array.from(slides),
        sounds: Array.from(sounds),
        innerWidth: window.innerWidth,
    }));
    Object.assign(result, state);

    // Anything of the show's own text that ran would have left its mark.
    for (const page of context.pages()) {
        for (const frame of page.frames()) {
            const mark = await frame.evaluate(() => window.__pwHacked).catch(() => undefined);
            if (mark !== undefined)
                result.hacked.push(`${frame.url()}: ${mark}`);
        }
    }
} catch (error) {
    result.error = String(error);
}

await context.close();
rmSync(profile, { recursive: true, force: true });
process.stdout.write(JSON.stringify(result) + '\n');
