'use strict';
// Runs code-server (VS Code in the browser) on 127.0.0.1 with a user data
// folder, an extensions folder and XDG folders of its own, so that nothing of
// the machine's own VS Code or code-server set-up takes part in the test.
const { spawn, execFileSync } = require('node:child_process');
const fs = require('node:fs');
const path = require('node:path');

const ENTRY = path.join('node_modules', 'code-server', 'out', 'node', 'entry.js');

// Settings that keep a fresh VS Code from getting in the way of the test:
// no welcome page, chat or trust prompt over the editor, and no suggestion
// list that an Enter would accept instead of breaking the line. Git is off:
// the test folder lies inside this project's repository, whose state has
// nothing to do with the test.
const QUIET_SETTINGS = {
  'git.enabled': false,
  'workbench.startupEditor': 'none',
  'workbench.tips.enabled': false,
  'workbench.secondarySideBar.defaultVisibility': 'hidden',
  'chat.disableAIFeatures': true,
  'security.workspace.trust.enabled': false,
  'extensions.autoCheckUpdates': false,
  'extensions.autoUpdate': false,
  'extensions.ignoreRecommendations': true,
  'update.mode': 'none',
  'telemetry.telemetryLevel': 'off',
  'editor.quickSuggestions': { other: false, comments: false, strings: false },
  'editor.suggestOnTriggerCharacters': false,
  'editor.acceptSuggestionOnEnter': 'off',
  'editor.wordBasedSuggestions': 'off',
  'editor.minimap.enabled': false,
  'files.autoSave': 'off',
};

function folders(root) {
  return {
    userData: path.join(root, 'user-data'),
    extensions: path.join(root, 'extensions'),
    xdg: path.join(root, 'xdg'),
    log: path.join(root, 'code-server.log'),
  };
}

function environment(places) {
  return {
    ...process.env,
    // No extension gallery: nothing is looked up beyond this machine.
    EXTENSIONS_GALLERY: JSON.stringify({ serviceUrl: '' }),
    XDG_CONFIG_HOME: path.join(places.xdg, 'config'),
    XDG_DATA_HOME: path.join(places.xdg, 'data'),
    XDG_CACHE_HOME: path.join(places.xdg, 'cache'),
    XDG_STATE_HOME: path.join(places.xdg, 'state'),
    XDG_RUNTIME_DIR: path.join(places.xdg, 'runtime'),
  };
}

function commonArguments(places) {
  return ['--user-data-dir', places.userData, '--extensions-dir', places.extensions];
}

function writeUserSettings(places, settings) {
  const file = path.join(places.userData, 'User', 'settings.json');
  fs.mkdirSync(path.dirname(file), { recursive: true });
  fs.writeFileSync(file, JSON.stringify({ ...QUIET_SETTINGS, ...settings }, null, 2));
}

// Lays out fresh folders under root, writes the user settings and installs
// the extension package there.
function prepare({ root, tools, vsix, settings }) {
  const places = folders(root);
  fs.rmSync(root, { recursive: true, force: true });
  for (const folder of [places.userData, places.extensions, places.xdg]) {
    fs.mkdirSync(folder, { recursive: true });
  }
  fs.mkdirSync(path.join(places.xdg, 'runtime'), { mode: 0o700 });
  writeUserSettings(places, settings);
  execFileSync(process.execPath,
    [path.join(tools, ENTRY), ...commonArguments(places), '--install-extension', vsix],
    { env: environment(places), stdio: ['ignore', 'pipe', 'pipe'] });
  return places;
}

async function waitUntil(what, timeoutMs, probe) {
  const deadline = Date.now() + timeoutMs;
  for (;;) {
    const result = await probe();
    if (result) {
      return result;
    }
    if (Date.now() > deadline) {
      throw new Error(`timed out after ${timeoutMs} ms waiting for ${what}`);
    }
    await new Promise((resolve) => setTimeout(resolve, 100));
  }
}

// Starts code-server on a port that the system picks, and resolves once its
// health check answers. The address comes from its log line, which avoids
// racing another program for a port chosen beforehand.
async function start({ places, tools, folder }) {
  const log = fs.openSync(places.log, 'w');
  const server = spawn(process.execPath, [
    path.join(tools, ENTRY),
    '--bind-addr', '127.0.0.1:0',
    '--auth', 'none',
    '--disable-telemetry',
    '--disable-update-check',
    '--disable-workspace-trust',
    '--disable-getting-started-override',
    '--ignore-last-opened',
    ...commonArguments(places),
    folder,
  ], { env: environment(places), stdio: ['ignore', log, log] });
  fs.closeSync(log);
  let exited = null;
  server.on('exit', (code, signal) => { exited = signal || code; });

  const url = await waitUntil('code-server to listen', 60000, () => {
    if (exited !== null) {
      throw new Error(`code-server ended (${exited}):\n${fs.readFileSync(places.log, 'utf8')}`);
    }
    const match = /HTTP server listening on (http:\/\/127\.0\.0\.1:\d+)/.exec(fs.readFileSync(places.log, 'utf8'));
    return match && match[1];
  });
  await waitUntil('code-server /healthz', 60000, async () => {
    try {
      const response = await fetch(`${url}/healthz`);
      return response.ok;
    } catch {
      return false;
    }
  });
  return { url, server, places };
}

async function stop({ server }) {
  if (server.exitCode !== null || server.signalCode !== null) {
    return;
  }
  const ended = new Promise((resolve) => server.once('exit', resolve));
  server.kill('SIGTERM');
  await ended;
}

module.exports = { prepare, start, stop, waitUntil };
