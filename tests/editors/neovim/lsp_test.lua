-- Drives `recasor lsp` from a real Neovim (0.7), configured by the init.lua
-- snippet of the README's Neovim section, and holds every result to what
-- `recasor --stdin-filename FILE -` writes for the same text.
--
-- Run: RECASOR=/path/to/recasor nvim --headless --clean -u NONE -c 'luafile lsp_test.lua'
-- Exits 0 when every check passes, 1 on a mismatch, 2 on an error.

local RECASOR = vim.env.RECASOR
local REPOSITORY = vim.fn.fnamemodify(debug.getinfo(1, 'S').source:sub(2), ':p:h:h:h:h')
local WAIT_MS = 5000

-- FreeBASIC with keywords to recase, keywords inside strings, comments, a
-- block comment and DATA items, and non-ASCII text (a BMP and an astral
-- character, one and two UTF-16 units) before keywords: Neovim 0.7 counts
-- positions in UTF-16 units, recasor's edits are found in UTF-8 bytes.
local ORIGINAL = {
  "' dim and print in a comment stay as they are",
  '#include "windows.bi"',
  'dim shared counter as integer',
  'function twice(byval n as long) as long',
  "  return n * 2   ' return stays",
  'end function',
  'print "Übung 日本 dim" : dim x as integer : print x',
  'print "😀 as" : dim y as string : y = ucase$("as")',
  "/' block comment",
  "   dim as integer '/ print \"tail\"",
  'data dim, as, print',
  'while counter < 3 : counter += 1 : wend',
}

local failures = {}

local function fail(message)
  table.insert(failures, message)
end

local function buffer_lines(buffer)
  return vim.api.nvim_buf_get_lines(buffer, 0, -1, false)
end

-- What recasor writes for these lines, as lines.
local function recased(lines, path)
  local output = vim.fn.system({ RECASOR, '--stdin-filename', path, '-' },
                               table.concat(lines, '\n') .. '\n')
  assert(vim.v.shell_error == 0, 'recasor --stdin-filename failed: ' .. output)
  local result = vim.split(output, '\n', { plain = true })
  assert(table.remove(result) == '', 'recasor dropped the final line end')
  return result
end

-- Records the first line where `got` differs from `expected`.
local function expect_lines(check, expected, got)
  for i = 1, math.max(#expected, #got) do
    if expected[i] ~= got[i] then
      fail(string.format('%s: line %d differs\n  expected: %s\n  got:      %s',
                         check, i, vim.inspect(expected[i]), vim.inspect(got[i])))
      return
    end
  end
end

local function expect_different(check, a, b)
  if vim.deep_equal(a, b) then
    fail(check .. ': the sample text needs no recasing here, so this checks nothing')
  end
end

-- Runs the README's Neovim snippet as a user's init.lua would.
local function load_readme_configuration()
  local readme = vim.fn.readfile(REPOSITORY .. '/README.md')
  local section, first, last
  for i = 1, #readme do
    if readme[i] == '### Neovim' then
      section = i
    elseif section and not first and readme[i] == '```lua' then
      first = i + 1
    elseif first and readme[i] == '```' then
      last = i - 1
      break
    end
  end
  assert(section, 'README.md has no "### Neovim" section')
  assert(first and last, 'the Neovim section of README.md has no lua block')
  local snippet = table.concat(vim.list_slice(readme, first, last), '\n')
  assert(loadstring(snippet, 'README.md Neovim snippet'))()
end

local function set_original(buffer)
  vim.api.nvim_buf_set_lines(buffer, 0, -1, false, ORIGINAL)
end

local function run()
  assert(RECASOR and RECASOR ~= '', 'set RECASOR to the recasor binary')
  RECASOR = vim.fn.fnamemodify(RECASOR, ':p')
  -- The snippet starts `recasor` from the PATH: make that the binary under test.
  vim.env.PATH = vim.fn.fnamemodify(RECASOR, ':h') .. ':' .. vim.env.PATH

  local folder = vim.fn.tempname()
  vim.fn.mkdir(folder, 'p')
  vim.cmd('cd ' .. vim.fn.fnameescape(folder))
  local path = folder .. '/prog.bas'
  vim.fn.writefile(ORIGINAL, path)

  load_readme_configuration()
  vim.cmd('edit ' .. vim.fn.fnameescape(path))
  local buffer = vim.api.nvim_get_current_buf()
  assert(vim.bo[buffer].filetype == 'freebasic', 'file type ' .. vim.bo[buffer].filetype)

  local client
  assert(vim.wait(WAIT_MS, function()
    client = select(2, next(vim.lsp.buf_get_clients(buffer)))
    return client ~= nil and client.initialized
  end, 10), 'recasor lsp did not start and initialize within ' .. WAIT_MS .. ' ms')
  local capabilities = client.server_capabilities or client.resolved_capabilities
  assert(capabilities.documentFormattingProvider or capabilities.document_formatting,
         'the server offers no document formatting')

  -- The whole document, as formatting_sync applies it.
  local want = recased(ORIGINAL, path)
  expect_different('formatting', ORIGINAL, want)
  vim.lsp.buf.formatting_sync(nil, WAIT_MS)
  expect_lines('formatting', want, buffer_lines(buffer))
  -- The server saw Neovim apply its edits: a second run changes nothing.
  vim.lsp.buf.formatting_sync(nil, WAIT_MS)
  expect_lines('formatting again', want, buffer_lines(buffer))

  -- A range from behind the non-ASCII text of line 7 into line 8: exactly
  -- those two lines change.
  set_original(buffer)
  local ranged = vim.deepcopy(ORIGINAL)
  ranged[7], ranged[8] = want[7], want[8]
  expect_different('range formatting', ORIGINAL, ranged)
  local range_done = false
  local range_handler = vim.lsp.handlers['textDocument/rangeFormatting']
  vim.lsp.handlers['textDocument/rangeFormatting'] = function(...)
    range_handler(...)
    range_done = true
  end
  vim.lsp.buf.range_formatting(nil, { 7, ORIGINAL[7]:find(': dim', 1, true) + 1 },
                                    { 8, ORIGINAL[8]:find('ucase', 1, true) })
  if not vim.wait(WAIT_MS, function() return range_done end, 10) then
    fail('range formatting: no answer within ' .. WAIT_MS .. ' ms')
  end
  vim.lsp.handlers['textDocument/rangeFormatting'] = range_handler
  expect_lines('range formatting', ranged, buffer_lines(buffer))

  -- Enter typed in line 7, behind the non-ASCII text and before `print x`:
  -- the README's mapping asks for on-type formatting, which recases the line
  -- left and leaves the new one alone.
  set_original(buffer)
  local split = vim.deepcopy(ORIGINAL)
  local column = ORIGINAL[7]:find('print x', 1, true) - 1
  table.remove(split, 7)
  table.insert(split, 7, ORIGINAL[7]:sub(1, column))
  table.insert(split, 8, ORIGINAL[7]:sub(column + 1))
  local typed = vim.deepcopy(split)
  typed[7] = recased(split, path)[7]
  expect_different('on-type formatting', split, typed)
  vim.api.nvim_win_set_cursor(0, { 7, column })
  vim.api.nvim_feedkeys(vim.api.nvim_replace_termcodes('i<CR><Esc>', true, false, true), 'mx', false)
  expect_lines('on-type formatting after Enter', typed, buffer_lines(buffer))

  -- After these incremental changes the server's copy still matches.
  want = recased(buffer_lines(buffer), path)
  vim.lsp.buf.formatting_sync(nil, WAIT_MS)
  expect_lines('formatting after edits', want, buffer_lines(buffer))

  -- Saving recases the buffer, and the file, through the snippet's BufWritePre.
  set_original(buffer)
  vim.cmd('silent write')
  want = recased(ORIGINAL, path)
  expect_lines('write: buffer', want, buffer_lines(buffer))
  expect_lines('write: file', want, vim.fn.readfile(path))

  vim.fn.delete(folder, 'rf')
end

local ok, error_message = xpcall(run, debug.traceback)
if not ok then
  io.stderr:write('neovim_lsp_test: error: ' .. error_message .. '\n')
  vim.cmd('cquit 2')
elseif #failures > 0 then
  io.stderr:write('neovim_lsp_test: ' .. table.concat(failures, '\n') .. '\n')
  vim.cmd('cquit 1')
else
  io.stdout:write('neovim_lsp_test: all checks passed\n')
  vim.cmd('qall!')
end
