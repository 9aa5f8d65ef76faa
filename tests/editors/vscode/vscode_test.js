'use strict';
// The VS Code extension in a real VS Code (code-server) in Chromium, against
// the real `recasor lsp`: formatting a document, recasing the line that Enter
// leaves, saving, the PowerBASIC first line, and the message when the program
// is missing. Inputs come from the environment (scripts/test-vscode.sh sets
// them): RECASOR_BINARY, RECASOR_VSIX, VSCODE_TEST_TOOLS, VSCODE_TEST_DIR.
const { describe, it, before, after } = require('node:test');
const assert = require('node:assert/strict');
const { execFileSync } = require('node:child_process');
const fs = require('node:fs');
const path = require('node:path');
const codeServer = require('./code_server');
const workbench = require('./workbench');

function required(name) {
  const value = process.env[name];
  if (!value) {
    throw new Error(`${name} is not set (run scripts/test-vscode.sh)`);
  }
  return path.resolve(value);
}

const binary = required('RECASOR_BINARY');
const vsix = required('RECASOR_VSIX');
const tools = required('VSCODE_TEST_TOOLS');
const testFolder = required('VSCODE_TEST_DIR');
const runFolder = path.join(testFolder, 'run');
const workspace = path.join(testFolder, 'workspace');

// FreeBASIC in mixed case, with keywords inside strings and comments that
// must stay as they are.
const FREEBASIC_SOURCE = [
  "' keywords in a comment stay: dim as integer",
  'dim x as integer',
  'DIM s AS STRING = "dim x as integer"  \' print x',
  'function twice(byval n as long) as long',
  '  return n * 2',
  'END FUNCTION',
  "/' a block comment: if x then print '/ print twice(x)",
  'sub main()',
  '  Print "end sub"; twice(x)',
  '',
].join('\n');

// A .bas file that opens with a PowerBASIC-only directive; EOF and LOF are
// spelled differently in the two dialects.
const POWERBASIC_SOURCE = [
  '#compile exe',
  '#dim all',
  'function pbmain() as long',
  '  if eof(1) then function = lof(1)',
  'end function',
  '',
].join('\n');

function recasor(text, fileName, ...options) {
  return execFileSync(binary, [...options, '--stdin-filename', path.join(workspace, fileName), '-'],
    { input: text, encoding: 'utf8' });
}

describe('VS Code with the recasor extension', () => {
  let server;
  let browser;
  let page;

  before(async () => {
    fs.rmSync(workspace, { recursive: true, force: true });
    fs.mkdirSync(workspace, { recursive: true });
    fs.writeFileSync(path.join(workspace, 'prog.bas'), FREEBASIC_SOURCE);
    fs.writeFileSync(path.join(workspace, 'pb.bas'), POWERBASIC_SOURCE);
    const places = codeServer.prepare({ root: runFolder, tools, vsix, settings: { 'recasor.path': binary } });
    server = await codeServer.start({ places, tools, folder: workspace });
    ({ browser, page } = await workbench.launch(path.join(runFolder, 'chromium')));
    await workbench.open(page, server.url, workspace);
  }, { timeout: 120000 });

  after(async () => {
    if (page) {
      await page.screenshot({ path: path.join(testFolder, 'vscode-last.png') }).catch(() => {});
    }
    await browser?.close();
    if (server) {
      await codeServer.stop(server);
      console.log(`code-server's log: ${server.places.log}`);
    }
  });

  it('opens a .bas file as FreeBASIC and starts the language server', { timeout: 60000 }, async () => {
    await workbench.openFile(page, 'prog.bas');
    assert.equal(await workbench.statusBarItemLabel(page, 'FreeBASIC'), 'FreeBASIC');
    assert.match(await workbench.statusBarItemLabel(page, 'Recasor: running'), /lsp$/);
    await workbench.waitForShownText(page, FREEBASIC_SOURCE);
  });

  const formatted = recasor(FREEBASIC_SOURCE, 'prog.bas');

  it('Format Document gives what recasor gives for the file', { timeout: 60000 }, async () => {
    assert.notEqual(formatted, FREEBASIC_SOURCE);
    await workbench.runCommand(page, 'Format Document');
    await workbench.waitForShownText(page, formatted);
  });

  it('Enter recases the line it leaves and leaves the new line alone', { timeout: 60000 }, async () => {
    await workbench.pressWithControl(page, 'End');
    // Enter splits the line in two: only the half above is recased.
    await page.keyboard.type('dim y as long');
    await page.keyboard.press('Home');
    await page.keyboard.type('if a then print b');
    await page.keyboard.press('Enter');
    await workbench.waitForShownText(page, `${formatted}If a Then Print b\ndim y as long`);
    // The line below is recased in turn once Enter leaves it. VS Code drops
    // the server's answer when the text has changed in the meantime, so the
    // next line is typed once the answer is in.
    await page.keyboard.press('End');
    await page.keyboard.press('Enter');
    await workbench.waitForShownText(page, `${formatted}If a Then Print b\nDim y As Long\n`);
    await page.keyboard.type('end sub');
    await page.keyboard.press('Enter');
    await workbench.waitForShownText(page, `${formatted}If a Then Print b\nDim y As Long\nEnd Sub\n`);
  });

  it('Ctrl+S saves the text that the editor shows', { timeout: 60000 }, async () => {
    const expected = `${formatted}If a Then Print b\nDim y As Long\nEnd Sub\n`;
    const file = path.join(workspace, 'prog.bas');
    await workbench.pressWithControl(page, 's');
    // latin1 reads every byte as one character, so equal strings are equal bytes.
    const saved = () => fs.readFileSync(file, 'latin1');
    await codeServer.waitUntil('the file to be saved', 30000, () => saved() === expected).catch(() => {});
    assert.equal(saved(), expected);
    await page.screenshot({ path: path.join(testFolder, 'vscode.png') });
  });

  it('a .bas file that opens with #COMPILE is PowerBASIC and formatted as such', { timeout: 60000 }, async () => {
    const asPowerBasic = recasor(POWERBASIC_SOURCE, 'pb.bas', '--dialect', 'powerbasic');
    assert.notEqual(asPowerBasic, recasor(POWERBASIC_SOURCE, 'pb.bas', '--dialect', 'freebasic'));
    await workbench.openFile(page, 'pb.bas');
    assert.equal(await workbench.statusBarItemLabel(page, 'PowerBASIC'), 'PowerBASIC');
    await workbench.runCommand(page, 'Format Document');
    await workbench.waitForShownText(page, asPowerBasic);
  });

  it('a program that cannot be found is reported as such', { timeout: 60000 }, async () => {
    const missing = path.join(runFolder, 'no-such-recasor');
    await workbench.changeUserSetting(page, 'recasor.path', missing);
    // The Settings editor may store a part of the path first: the message
    // about the whole path is the one to check.
    const messages = await workbench.waitForNotification(page, `"${missing} lsp"`);
    assert.ok(messages.some((message) => message.includes('cannot start the language server')), messages.join('\n'));
    await workbench.statusBarItemLabel(page, 'Recasor: not running');
  });
});
