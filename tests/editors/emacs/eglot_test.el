;;; eglot_test.el --- recasor lsp driven by a real Emacs through eglot  -*- lexical-binding: t -*-

;; Configures Emacs with the snippet of the README's "Emacs (eglot)" section,
;; visits a FreeBASIC file, types into it and formats it, and holds every
;; result to what `recasor --stdin-filename FILE -' writes for the same text.
;;
;; Run: RECASOR=/path/to/recasor emacs --batch -Q -l eglot_test.el
;; Exits 0 when every check passes, 1 on a mismatch, 2 on an error.

(require 'cl-lib)
(require 'package)

(defconst eglot-test-wait-seconds 5)

(defconst eglot-test-repository
  (expand-file-name "../../.." (file-name-directory (or load-file-name buffer-file-name))))

;; FreeBASIC with keywords to recase, keywords inside strings, comments, a
;; block comment and DATA items, and non-ASCII text (a BMP and an astral
;; character, one and two UTF-16 units) before keywords: eglot 1.9 counts
;; positions in UTF-16 units, recasor's edits are found in UTF-8 bytes.
(defconst eglot-test-original
  '("' dim and print in a comment stay as they are"
    "#include \"windows.bi\""
    "dim shared counter as integer"
    "function twice(byval n as long) as long"
    "  return n * 2   ' return stays"
    "end function"
    "print \"Übung 日本 dim\" : dim x as integer : print x"
    "print \"😀 as\" : dim y as string : y = ucase$(\"as\")"
    "/' block comment"
    "   dim as integer '/ print \"tail\""
    "data dim, as, print"
    "while counter < 3 : counter += 1 : wend"))

(defvar eglot-test-failures nil)
(defvar eglot-test-recasor nil)

(defun eglot-test-fail (format-string &rest arguments)
  (push (apply #'format format-string arguments) eglot-test-failures))

(defun eglot-test-buffer-lines ()
  "The lines of the buffer, the last one ended by the final line end."
  (let ((lines (split-string (buffer-substring-no-properties (point-min) (point-max)) "\n")))
    (if (equal (car (last lines)) "") (butlast lines) lines)))

(defun eglot-test-recased (lines file)
  "What recasor writes for LINES (a list, a final line end added) as FILE, as lines."
  (with-temp-buffer
    (let ((coding-system-for-read 'utf-8-unix)
          (coding-system-for-write 'utf-8-unix))
      (insert (mapconcat #'identity lines "\n") "\n")
      (let ((status (call-process-region (point-min) (point-max) eglot-test-recasor t t nil
                                         "--stdin-filename" file "-")))
        (unless (eql status 0)
          (error "recasor --stdin-filename exited with %s: %s" status (buffer-string)))))
    (let ((lines (split-string (buffer-string) "\n")))
      (unless (equal (car (last lines)) "")
        (error "recasor dropped the final line end"))
      (butlast lines))))

(defun eglot-test-expect-lines (check expected got)
  "Record the first line where GOT differs from EXPECTED."
  (cl-loop for i from 1 to (max (length expected) (length got))
           for want = (nth (1- i) expected)
           for have = (nth (1- i) got)
           unless (equal want have)
           return (eglot-test-fail "%s: line %d differs\n  expected: %S\n  got:      %S"
                                   check i want have)))

(defun eglot-test-expect-different (check a b)
  (when (equal a b)
    (eglot-test-fail "%s: the sample text needs no recasing here, so this checks nothing" check)))

(defun eglot-test-load-readme-configuration ()
  "Evaluate the README's Emacs snippet as a user's init.el would."
  (with-temp-buffer
    (let ((coding-system-for-read 'utf-8-unix))
      (insert-file-contents (expand-file-name "README.md" eglot-test-repository)))
    (unless (re-search-forward "^### Emacs (eglot)$" nil t)
      (error "README.md has no \"### Emacs (eglot)\" section"))
    (unless (re-search-forward "^```elisp\n" nil t)
      (error "the Emacs section of README.md has no elisp block"))
    (let ((start (point)))
      (re-search-forward "^```$")
      (eval-region start (match-beginning 0)))))

(defun eglot-test-wait-until (what predicate)
  "Let Emacs run until PREDICATE holds; fail with WHAT after the time limit."
  (let ((deadline (+ (float-time) eglot-test-wait-seconds)))
    (while (not (funcall predicate))
      (when (> (float-time) deadline)
        (error "%s: not within %s s" what eglot-test-wait-seconds))
      (accept-process-output nil 0.05))))

(defun eglot-test-set-original ()
  (erase-buffer)
  (insert (mapconcat #'identity eglot-test-original "\n") "\n"))

(defun eglot-test-goto (line text)
  "Move point to the start of TEXT in LINE (1-based)."
  (goto-char (point-min))
  (forward-line (1- line))
  (unless (search-forward text (line-end-position) t)
    (error "line %d has no %S" line text))
  (goto-char (match-beginning 0)))

(defun eglot-test-split (lines line text)
  "LINES with LINE (1-based) split before TEXT, as a typed newline splits it."
  (let* ((whole (nth (1- line) lines))
         (column (string-search text whole)))
    (append (cl-subseq lines 0 (1- line))
            (list (substring whole 0 column) (substring whole column))
            (nthcdr line lines))))

(defun eglot-test-replace-line (lines line replacement)
  (let ((copy (copy-sequence lines)))
    (setf (nth (1- line) copy) replacement)
    copy))

(defun eglot-test-run ()
  (let ((recasor (getenv "RECASOR")))
    (unless (and recasor (not (string-empty-p recasor)))
      (error "set RECASOR to the recasor binary"))
    (setq eglot-test-recasor (expand-file-name recasor))
    ;; The snippet starts `recasor' from the PATH: make that the binary under test.
    (let ((directory (file-name-directory eglot-test-recasor)))
      (setenv "PATH" (concat directory path-separator (getenv "PATH")))
      (push directory exec-path)))
  (prefer-coding-system 'utf-8-unix)
  ;; Debian's elpa-eglot lives in /usr/share/emacs/site-lisp/elpa, which a
  ;; user's Emacs activates and -Q does not.
  (add-to-list 'package-directory-list "/usr/share/emacs/site-lisp/elpa")
  (package-initialize)
  (eglot-test-load-readme-configuration)

  (let* ((folder (make-temp-file "eglot-test" t))
         (file (expand-file-name "prog.bas" folder))
         (original eglot-test-original))
    (let ((coding-system-for-write 'utf-8-unix))
      (write-region (concat (mapconcat #'identity original "\n") "\n") nil file))
    (switch-to-buffer (let ((coding-system-for-read 'utf-8-unix)) (find-file-noselect file)))
    (unless (eq major-mode 'freebasic-mode)
      (error "%s opened in %s" file major-mode))
    ;; eglot-ensure connects after the current command; batch mode has no
    ;; command loop, so end a command here as the loop would.
    (run-hooks 'post-command-hook)
    (eglot-test-wait-until "eglot connecting to recasor lsp"
                           (lambda () (and (eglot-current-server) eglot--managed-mode)))
    (let ((language (eglot--language-id (eglot-current-server))))
      (unless (equal language "freebasic")
        (eglot-test-fail "language id: expected \"freebasic\", got %S" language)))

    ;; C-j in line 7, behind the non-ASCII text and before `print x': the
    ;; line left is recased, the new one is not.
    (let* ((split (eglot-test-split original 7 "print x"))
           (want (eglot-test-replace-line split 7 (nth 6 (eglot-test-recased split file)))))
      (eglot-test-expect-different "C-j" split want)
      (eglot-test-goto 7 "print x")
      (execute-kbd-macro "\C-j")
      (eglot-test-expect-lines "C-j" want (eglot-test-buffer-lines)))

    ;; A line typed before the last one and RET (the snippet's freebasic-newline).
    (let* ((before (eglot-test-buffer-lines))
           (typed "select case counter : case 1 : print \"日本\" : end select")
           (last-line (length before))
           (lines (append (cl-subseq before 0 (1- last-line))
                          (list typed)
                          (nthcdr (1- last-line) before)))
           (want (eglot-test-replace-line lines last-line
                                          (nth (1- last-line) (eglot-test-recased lines file)))))
      (eglot-test-expect-different "RET" lines want)
      (goto-char (point-min))
      (forward-line (1- last-line))
      (execute-kbd-macro (concat typed "\r"))
      (eglot-test-expect-lines "RET" want (eglot-test-buffer-lines)))

    ;; The whole buffer, after those incremental changes.
    (let ((want (eglot-test-recased (eglot-test-buffer-lines) file)))
      (eglot-format-buffer)
      (eglot-test-expect-lines "eglot-format-buffer" want (eglot-test-buffer-lines)))

    ;; A region from behind the non-ASCII text of line 7 into line 8:
    ;; exactly those two lines change.
    (eglot-test-set-original)
    (let* ((recased (eglot-test-recased original file))
           (want (eglot-test-replace-line
                  (eglot-test-replace-line original 7 (nth 6 recased)) 8 (nth 7 recased)))
           (start (progn (eglot-test-goto 7 "dim x") (point)))
           (end (progn (eglot-test-goto 8 "ucase") (point))))
      (eglot-test-expect-different "eglot-format on a region" original want)
      (eglot-format start end)
      (eglot-test-expect-lines "eglot-format on a region" want (eglot-test-buffer-lines)))

    ;; Saving recases the buffer, and the file, through the snippet's
    ;; before-save-hook.
    (eglot-test-set-original)
    (let ((want (eglot-test-recased original file)))
      (let ((coding-system-for-write 'utf-8-unix)) (save-buffer))
      (eglot-test-expect-lines "save-buffer: buffer" want (eglot-test-buffer-lines))
      (eglot-test-expect-lines "save-buffer: file" want
                               (with-temp-buffer
                                 (let ((coding-system-for-read 'utf-8-unix))
                                   (insert-file-contents file))
                                 (eglot-test-buffer-lines))))

    (eglot-shutdown (eglot-current-server))
    (delete-directory folder t)))

(condition-case failure
    (progn
      (eglot-test-run)
      (if eglot-test-failures
          (progn
            (message "eglot_lsp_test: %s" (mapconcat #'identity (reverse eglot-test-failures) "\n"))
            (kill-emacs 1))
        (message "eglot_lsp_test: all checks passed")
        (kill-emacs 0)))
  (error
   (message "eglot_lsp_test: error: %s" (error-message-string failure))
   (kill-emacs 2)))

;;; eglot_test.el ends here
