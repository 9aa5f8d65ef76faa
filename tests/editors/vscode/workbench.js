'use strict';
// Drives the VS Code workbench in Debian's Chromium the way a person does:
// keys for Quick Open, the command palette and typing, and what the page
// shows for reading back.
const fs = require('node:fs');
const puppeteer = require('puppeteer-core');

// Without the background-networking flags Chromium keeps trying to reach
// hosts that this closed network refuses.
const CHROMIUM_FLAGS = [
  '--no-sandbox', '--headless', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync',
];
const STEP_TIMEOUT_MS = 30000;

async function launch(profileFolder) {
  fs.rmSync(profileFolder, { recursive: true, force: true });
  fs.mkdirSync(profileFolder, { recursive: true });
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: [...CHROMIUM_FLAGS, `--user-data-dir=${profileFolder}`],
    defaultViewport: { width: 1280, height: 800 },
  });
  const page = (await browser.pages())[0] || await browser.newPage();
  page.setDefaultTimeout(STEP_TIMEOUT_MS);
  return { browser, page };
}

// Opens the workbench on a folder and waits until it is ready for keys.
async function open(page, serverUrl, folder) {
  await page.goto(`${serverUrl}/?folder=${encodeURIComponent(folder)}`);
  await page.waitForSelector('.monaco-workbench .part.editor');
  await page.waitForSelector('.explorer-folders-view .monaco-list-row');
}

// Types into the quick input that F1 opens. A leading '>' lists commands;
// without it the widget is Quick Open, which lists files.
async function pickFromQuickInput(page, text, wantedRow) {
  await page.keyboard.press('F1');
  await page.waitForSelector('.quick-input-widget .quick-input-box input', { visible: true });
  await page.keyboard.down('Control');
  await page.keyboard.press('a');
  await page.keyboard.up('Control');
  await page.keyboard.type(text);
  await page.waitForFunction((wanted) => {
    const row = document.querySelector('.quick-input-widget .monaco-list-row.focused .label-name');
    return row && row.textContent.replace(/\u00a0/g, ' ') === wanted;
  }, {}, wantedRow);
  await page.keyboard.press('Enter');
  await page.waitForSelector('.quick-input-widget', { hidden: true });
}

async function runCommand(page, command) {
  await pickFromQuickInput(page, `>${command}`, command);
}

// Opens a file of the folder and waits for its editor to have the focus.
async function openFile(page, fileName) {
  await pickFromQuickInput(page, fileName, fileName);
  await page.waitForFunction((name) => {
    const tab = document.querySelector('.tabs-container .tab.active');
    return tab && tab.getAttribute('aria-label').startsWith(name) &&
      document.activeElement && document.activeElement.closest('.editor-instance .monaco-editor');
  }, {}, fileName);
}

// The text of the active editor as it is drawn, line by line from the top.
// The editor draws spaces as no-break spaces. Only the lines in view are
// drawn, which is all of them for the short files of the test.
function shownText() {
  const editor = document.querySelector('.editor-instance .monaco-editor');
  if (!editor) {
    return null;
  }
  const lines = [...editor.querySelectorAll('.view-lines .view-line')];
  lines.sort((a, b) => parseFloat(a.style.top) - parseFloat(b.style.top));
  return lines.map((line) => line.textContent.replace(/\u00a0/g, ' ')).join('\n');
}

// Waits until the active editor shows the text; on a time-out the error
// tells what it showed instead.
async function waitForShownText(page, text) {
  try {
    await page.waitForFunction(`(${shownText})() === ${JSON.stringify(text)}`);
  } catch (error) {
    const shown = await page.evaluate(shownText);
    throw new Error(`the editor shows\n${JSON.stringify(shown)}\ninstead of\n${JSON.stringify(text)}\n(${error.message})`);
  }
}

async function statusBarItemLabel(page, labelStart) {
  const handle = await page.waitForSelector(`.statusbar-item[aria-label^="${labelStart}"]`);
  return handle.evaluate((element) => element.getAttribute('aria-label'));
}

async function waitForNotification(page, textPart) {
  await page.waitForFunction((part) =>
    [...document.querySelectorAll('.notification-toast .notification-list-item-message')]
      .some((message) => message.textContent.includes(part)), {}, textPart);
  return page.$$eval('.notification-toast .notification-list-item-message',
    (messages) => messages.map((message) => message.textContent));
}

// Changes a setting in the Settings editor, as a person does; VS Code
// writes it to the user settings file itself.
async function changeUserSetting(page, key, value) {
  await runCommand(page, 'Preferences: Open User Settings');
  await page.waitForFunction(() =>
    document.activeElement && document.activeElement.closest('.settings-editor .settings-header'));
  await page.keyboard.type(key);
  const input = await page.waitForSelector(`.settings-editor input[aria-label="${key}"]`, { visible: true });
  await input.focus();
  await pressWithControl(page, 'a');
  await page.keyboard.type(value);
}

async function pressWithControl(page, key) {
  await page.keyboard.down('Control');
  await page.keyboard.press(key);
  await page.keyboard.up('Control');
}

module.exports = {
  launch, open, runCommand, openFile, shownText, waitForShownText,
  statusBarItemLabel, waitForNotification, changeUserSetting, pressWithControl,
};
