'use strict';
// Finds the program that the setting names before it is started, so that a
// missing program gets one clear message instead of the language client's
// generic start failure.
const fs = require('fs');
const path = require('path');

function isExecutableFile(file) {
  try {
    fs.accessSync(file, fs.constants.X_OK);
    return fs.statSync(file).isFile();
  } catch {
    return false;
  }
}

// Windows runs `recasor` as recasor.exe (or whatever PATHEXT allows).
function candidates(file) {
  if (process.platform !== 'win32' || path.extname(file)) {
    return [file];
  }
  const extensions = (process.env.PATHEXT || '.EXE;.CMD;.BAT').split(';').filter(Boolean);
  return [file, ...extensions.map((extension) => file + extension)];
}

// A name with a folder part is taken as it is (relative to baseFolder); a bare
// name is looked up in PATH. Returns the full path, or undefined.
function findProgram(program, baseFolder, searchPath = process.env.PATH || '') {
  const hasFolder = program.includes('/') || program.includes(path.sep);
  const places = hasFolder
    ? [path.resolve(baseFolder || process.cwd(), program)]
    : searchPath.split(path.delimiter).filter(Boolean).map((folder) => path.join(folder, program));
  for (const place of places) {
    const found = candidates(place).find(isExecutableFile);
    if (found) {
      return found;
    }
  }
  return undefined;
}

module.exports = { findProgram };
