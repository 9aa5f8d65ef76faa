'use strict';
// Starts `recasor lsp` for FreeBASIC and PowerBASIC documents, so that
// Format Document, Format Selection and formatting on Enter recase keywords.
const vscode = require('vscode');
const { LanguageClient, State } = require('vscode-languageclient/node');
const { findProgram } = require('./find_program');
const manifest = require('./package.json');

const LANGUAGES = ['freebasic', 'powerbasic'];
const POWERBASIC_FIRST_LINE = new RegExp(
  manifest.contributes.languages.find((language) => language.id === 'powerbasic').firstLine);

let client;
let statusItem;

function configuredProgram() {
  return vscode.workspace.getConfiguration('recasor').get('path') || 'recasor';
}

// The folder that a relative recasor.path starts from, and where the server runs.
function firstWorkspaceFolder() {
  const folder = (vscode.workspace.workspaceFolders || [])[0];
  return folder && folder.uri.scheme === 'file' ? folder.uri.fsPath : undefined;
}

function showStatus(text, tooltip) {
  statusItem.text = text;
  statusItem.tooltip = tooltip;
  // The label is what screen readers say, and what the extension's test waits for.
  statusItem.accessibilityInformation = { label: tooltip };
  statusItem.show();
}

// Not awaited: the message stays until the user closes it, and the extension
// must not wait for that.
function showStartError(program, reason) {
  showStatus('$(error) recasor', `Recasor: not running (${reason})`);
  const openSettings = 'Open Settings';
  vscode.window.showErrorMessage(
    `Recasor: cannot start the language server "${program} lsp": ${reason}. ` +
      'Install recasor, or set "recasor.path" to the program.',
    openSettings).then((choice) => {
    if (choice === openSettings) {
      vscode.commands.executeCommand('workbench.action.openSettings', 'recasor.path');
    }
  });
}

async function startClient() {
  const requested = configuredProgram();
  const program = findProgram(requested, firstWorkspaceFolder());
  if (!program) {
    showStartError(requested, 'not found, or not an executable file');
    return;
  }
  const documentSelector = [];
  for (const language of LANGUAGES) {
    documentSelector.push({ scheme: 'file', language }, { scheme: 'untitled', language });
  }
  client = new LanguageClient(
    'recasor',
    'Recasor',
    { command: program, args: ['lsp'] },
    { documentSelector });
  client.onDidChangeState(({ newState }) => {
    if (newState === State.Running) {
      showStatus('$(check) recasor', `Recasor: running ${program} lsp`);
    } else if (newState === State.Stopped) {
      showStatus('$(circle-slash) recasor', 'Recasor: stopped');
    }
  });
  showStatus('$(sync~spin) recasor', 'Recasor: starting');
  try {
    await client.start();
  } catch (error) {
    client = undefined;
    showStartError(program, error && error.message ? error.message : String(error));
  }
}

async function stopClient() {
  if (client) {
    const stopping = client;
    client = undefined;
    await stopping.stop().catch(() => {});
  }
}

// Restarts run one after the other, so that a setting changed twice in a row
// never leaves two servers, or a stop racing a start.
let lifecycle = Promise.resolve();
function restartClient() {
  lifecycle = lifecycle.then(async () => {
    await stopClient();
    await startClient();
  });
  return lifecycle;
}

// A .bas file that opens with a PowerBASIC-only directive is PowerBASIC,
// although the extension gives .bas to FreeBASIC: VS Code consults the
// manifest's firstLine only for files that no extension claims.
function claimPowerBasicFile(document) {
  if (document.languageId === 'freebasic' && /\.bas$/i.test(document.fileName) &&
      POWERBASIC_FIRST_LINE.test(document.lineAt(0).text)) {
    vscode.languages.setTextDocumentLanguage(document, 'powerbasic');
  }
}

async function activate(context) {
  statusItem = vscode.window.createStatusBarItem('recasor.status', vscode.StatusBarAlignment.Right, 100);
  statusItem.name = 'Recasor';
  statusItem.command = 'recasor.restart';
  context.subscriptions.push(statusItem);
  context.subscriptions.push(vscode.commands.registerCommand('recasor.restart', restartClient));
  context.subscriptions.push(vscode.workspace.onDidChangeConfiguration((event) => {
    if (event.affectsConfiguration('recasor.path')) {
      restartClient();
    }
  }));
  context.subscriptions.push(vscode.workspace.onDidOpenTextDocument(claimPowerBasicFile));
  vscode.workspace.textDocuments.forEach(claimPowerBasicFile);
  await restartClient();
}

function deactivate() {
  lifecycle = lifecycle.then(stopClient);
  return lifecycle;
}

module.exports = { activate, deactivate };
