#!/usr/bin/env python3
"""The file work of scripts/mutants.sh: finding the mutations, writing a mutant into the private copy and
putting the original back, keeping the copy in step with the working tree, and choosing the tests.

    mutants.py plan REPO SEED            every candidate mutation, in the seeded order, one JSON a line
    mutants.py show PLAN K ROOT          prints file, line and description of the K-th mutant (1-based)
    mutants.py apply PLAN K COPY         the same, and writes that mutant into COPY
    mutants.py restore REPO COPY FILE    puts FILE back into COPY as it is in REPO, with a new mtime
    mutants.py sync REPO COPY            makes COPY's sources equal to REPO's, touching only what differs
    mutants.py tests BUILD FILE          the tst_* targets that link FILE's library, space-separated
"""
import json
import os
import random
import re
import shutil
import sys
from pathlib import Path

# What the private copy needs to configure and build: the sources, the tests and what CMake adds with them.
COPIED = ["CMakeLists.txt", "LICENSE", "README.md", "dist", "src", "tests", "fuzz", "bench", "assets"]
SKIPPED_FILES = {"src/app/main.cpp"}
# Lines that only state facts for the compiler or for Qt's type system; mutating them proves nothing.
SKIPPED_CALLS = re.compile(r"^(static_assert|Q_ASSERT\w*|Q_DECLARE_\w*)$")

KEYWORDS = set(
    """alignas alignof asm auto bool break case catch char char8_t char16_t char32_t class co_await co_return
    co_yield concept const consteval constexpr constinit const_cast continue decltype default delete do double
    dynamic_cast else enum explicit export extern false float for friend goto if inline int long mutable
    namespace new noexcept nullptr operator private protected public register reinterpret_cast requires return
    short signed sizeof static static_assert static_cast struct switch template thread_local throw true try
    typedef typeid typename union unsigned using virtual void volatile wchar_t while""".split())
PUNCTUATORS = sorted(
    """<=> <<= >>= ->* ... -> << >> <= >= == != && || ++ -- += -= *= /= %= &= |= ^= :: .*
    { } [ ] ( ) ; : , . ? ~ ! + - * / % ^ & | = < > #""".split(), key=len, reverse=True)
ASSIGNMENTS = {"=", "+=", "-=", "*=", "/=", "%=", "&=", "|=", "^=", "<<=", ">>="}
RELATIONAL = {"<": ["<=", ">"], "<=": ["<"], ">": [">=", "<"], ">=": [">"], "==": ["!="], "!=": ["=="]}
LOGICAL = {"&&": ["||"], "||": ["&&"]}
INTEGER = re.compile(r"^(0[xX][0-9a-fA-F']+|0[bB][01']+|0[0-7']*|[1-9][0-9']*)([uUlLzZ]*)$")
STRING_PREFIXES = {"u8", "u", "U", "L", "R", "u8R", "uR", "UR", "LR"}


class Token:
    def __init__(self, kind, text, start, line, col):
        self.kind, self.text, self.start, self.end, self.line, self.col = kind, text, start, start + len(text), line, col

    def __repr__(self):
        return f"{self.kind}:{self.text}@{self.line}:{self.col}"


def tokenize(source):
    """The code tokens of a C++ file, without comments, string and character literals and preprocessor
    lines: nothing written inside those is ever mutated."""
    tokens, i, line, line_start, n = [], 0, 1, 0, len(source)
    at_line_start = True
    while i < n:
        c = source[i]
        if c == "\n":
            i, line, line_start, at_line_start = i + 1, line + 1, i + 1, True
            continue
        if c in " \t\r\f\v":
            i += 1
            continue
        if c == "#" and at_line_start:  # a preprocessor line, with its continuations
            while i < n and source[i] != "\n":
                if source[i] == "\\" and i + 1 < n and source[i + 1] == "\n":
                    i, line, line_start = i + 2, line + 1, i + 2
                else:
                    i += 1
            continue
        at_line_start = False
        if source.startswith("//", i):
            i = source.find("\n", i)
            i = n if i < 0 else i
            continue
        if source.startswith("/*", i):
            end = source.find("*/", i + 2)
            end = n if end < 0 else end + 2
            line += source.count("\n", i, end)
            line_start = source.rfind("\n", 0, end) + 1 if "\n" in source[i:end] else line_start
            i = end
            continue
        start, col = i, i - line_start + 1
        if c.isalpha() or c == "_":
            while i < n and (source[i].isalnum() or source[i] == "_"):
                i += 1
            word = source[start:i]
            if i < n and source[i] == "\"" and word in STRING_PREFIXES:
                i = skip_string(source, i, raw=word.endswith("R"))
                line, line_start = count_lines(source, start, i, line, line_start)
                continue
            tokens.append(Token("ident", word, start, line, col))
            continue
        if c.isdigit() or (c == "." and i + 1 < n and source[i + 1].isdigit()):
            while i < n and (source[i].isalnum() or source[i] in "_.'" or
                             (source[i] in "+-" and source[i - 1] in "eEpP" and not source[start:i].startswith(("0x", "0X")))):
                i += 1
            tokens.append(Token("number", source[start:i], start, line, col))
            continue
        if c in "\"'":
            i = skip_string(source, i, raw=False)
            line, line_start = count_lines(source, start, i, line, line_start)
            continue
        text = next((p for p in PUNCTUATORS if source.startswith(p, i)), c)
        tokens.append(Token("punct", text, start, line, col))
        i += len(text)
    return tokens


def skip_string(source, i, raw):
    """The index just past the string or character literal that starts with the quote at i."""
    quote = source[i]
    if raw:
        open_paren = source.index("(", i)
        closing = ")" + source[i + 1:open_paren] + "\""
        return source.index(closing, open_paren) + len(closing)
    i += 1
    while i < len(source) and source[i] != quote:
        i += 2 if source[i] == "\\" else 1
    return i + 1


def count_lines(source, start, end, line, line_start):
    newlines = source.count("\n", start, end)
    return (line + newlines, source.rfind("\n", start, end) + 1) if newlines else (line, line_start)


def depths(tokens, start):
    """Each index from start on, with the bracket depth after its token, counted from 0 at start."""
    depth = 0
    for j in range(start, len(tokens)):
        depth += (tokens[j].text in ("(", "[", "{")) - (tokens[j].text in (")", "]", "}"))
        yield j, depth


def matching(tokens, i):
    """The index of the bracket that closes the one at i."""
    return next((j for j, depth in depths(tokens, i) if depth == 0), len(tokens) - 1)


def spaced(source, token):
    """clang-format puts a blank on both sides of a binary operator and none inside template brackets."""
    return source[token.start - 1:token.start].isspace() and source[token.end:token.end + 1].isspace()


def skipped_ranges(tokens):
    """The source spans of static_assert(...), Q_ASSERT(...) and Q_DECLARE_...(...)."""
    spans = []
    for i, t in enumerate(tokens):
        if t.kind == "ident" and SKIPPED_CALLS.match(t.text) and i + 1 < len(tokens) and tokens[i + 1].text == "(":
            spans.append((t.start, tokens[matching(tokens, i + 1)].end))
    return spans


def opens_code(tokens, i, frames):
    """Whether the brace at i opens a block of statements (a function, lambda or control body, or a nested
    block) rather than a namespace, class, enum or initializer list."""
    j = i - 1
    while j >= 0 and tokens[j].text in ("const", "override", "noexcept", "final", "mutable", "&", "&&"):
        j -= 1
    if j < 0:
        return False
    prev = tokens[j].text
    if prev in (")", "]", "else", "do", "try"):
        return True
    inside_code = frames[-1]["code"] and frames[-1]["depth"] == 0
    return inside_code and prev in (";", "{", "}", ":")


def statement_starts(tokens):
    """The indices of tokens that begin a statement inside a function body, at bracket depth 0."""
    starts, frames = set(), [{"code": False, "depth": 0}]
    heads_end = {}  # the ')' closing an if/while/for/switch head, after which a statement may follow
    label_pending = False
    for i, t in enumerate(tokens):
        frame = frames[-1]
        at_top = frame["code"] and frame["depth"] == 0
        if t.text == "{":
            frames.append({"code": opens_code(tokens, i, frames), "depth": 0})
            if frames[-1]["code"]:
                starts.add(i + 1)
        elif t.text == "}":
            if len(frames) > 1:
                frames.pop()
            if frames[-1]["code"] and frames[-1]["depth"] == 0:
                starts.add(i + 1)
        elif t.text in "([":
            if t.text == "(" and i > 0 and tokens[i - 1].text in ("if", "while", "for", "switch", "catch"):
                heads_end[matching(tokens, i)] = True
            frame["depth"] += 1
        elif t.text in ")]":
            frame["depth"] -= 1
            if i in heads_end and frame["code"] and frame["depth"] == 0:
                starts.add(i + 1)
        elif at_top and t.text == ";":
            starts.add(i + 1)
        elif at_top and t.text in ("else", "do"):
            starts.add(i + 1)
        elif at_top and t.text in ("case", "default") and i in starts:
            label_pending = True
        elif at_top and t.text == ":" and label_pending:
            label_pending = False
            starts.add(i + 1)
    return starts


def expression_statement_end(tokens, i, source):
    """The index of the ';' ending the expression statement that starts at i (a call, an assignment, an
    increment or a stream insertion), or None when the statement is a declaration or anything else."""
    j = i
    if tokens[j].text in ("emit", "Q_EMIT"):
        j += 1
    if tokens[j].text in ("++", "--"):
        j += 1
    t = tokens[j]
    if t.kind != "ident" or (t.text in KEYWORDS and t.text != "this") or t.text.startswith("Q_"):
        return None
    j, called = j + 1, False
    while j + 1 < len(tokens):
        if tokens[j].text in ("::", ".", "->") and tokens[j + 1].kind == "ident":
            j += 2
        elif tokens[j].text in ("(", "["):
            called = called or tokens[j].text == "("
            j = matching(tokens, j) + 1
        else:
            break
    after = tokens[j]
    effect = (after.text == ";" and called) or after.text in ASSIGNMENTS or after.text in ("++", "--") or (
        after.text == "<<" and spaced(source, after)) or tokens[i].text in ("++", "--")
    if not effect:
        return None
    for k, depth in depths(tokens, j):
        if depth < 0:
            return None
        if depth == 0 and tokens[k].text == ";":
            return k
    return None


def candidates(path, source):
    """Every mutation of one file as (line, column, operator, start, end, replacement)."""
    tokens = tokenize(source)
    found = []

    def add(token, operator, start, end, replacement):
        found.append((token.line, token.col, operator, start, end, replacement))

    for i, t in enumerate(tokens):
        if t.kind == "punct" and spaced(source, t):
            for other in RELATIONAL.get(t.text, []):
                add(t, "relational operator", t.start, t.end, other)
            for other in LOGICAL.get(t.text, []):
                add(t, "logical operator", t.start, t.end, other)
        elif t.kind == "ident" and t.text in ("true", "false"):
            add(t, "constant", t.start, t.end, "false" if t.text == "true" else "true")
        elif t.kind == "number" and (m := INTEGER.match(t.text)) and not pure_virtual(tokens, i):
            digits, suffix = m.group(1).replace("'", ""), m.group(2)
            value = int(digits, 8) if re.fullmatch(r"0[0-7]+", digits) else int(digits, 0)
            for moved in (value + 1, value - 1):
                if moved >= 0:
                    add(t, "integer literal", t.start, t.end, format_like(digits, moved) + suffix)
        elif t.text in ("if", "while") and i + 1 < len(tokens) and tokens[i + 1].text == "(":
            close = matching(tokens, i + 1)
            inner = tokens[i + 2:close]
            declares = inner and (inner[0].text in KEYWORDS or (len(inner) > 1 and inner[0].kind == inner[1].kind == "ident"))
            if inner and not declares and not any(x.text == ";" for x in inner):
                start, end = inner[0].start, inner[-1].end
                add(t, "negated condition", start, end, "!(" + source[start:end] + ")")
    for i in sorted(statement_starts(tokens)):
        if i < len(tokens) and (end := expression_statement_end(tokens, i, source)) is not None:
            add(tokens[i], "removed statement", tokens[i].start, tokens[end].end, ";")
    skipped = skipped_ranges(tokens)
    return [c for c in found if not any(a <= c[3] < b for a, b in skipped)]


def pure_virtual(tokens, i):
    """The 0 of '= 0;' after a member function's head: any other number there does not compile."""
    return (tokens[i].text == "0" and 2 <= i < len(tokens) - 1 and tokens[i - 1].text == "=" and
            tokens[i + 1].text == ";" and tokens[i - 2].text in (")", "const", "override", "noexcept"))


def format_like(digits, value):
    if digits[:2] in ("0x", "0X"):
        return digits[:2] + format(value, "X" if digits[2:].isupper() else "x")
    if digits[:2] in ("0b", "0B"):
        return digits[:2] + format(value, "b")
    if len(digits) > 1 and digits[0] == "0":
        return "0" + format(value, "o")
    return str(value)


def source_files(repo):
    for path in sorted(Path(repo, "src").rglob("*")):
        relative = path.relative_to(repo).as_posix()
        if path.suffix in (".cpp", ".h") and relative not in SKIPPED_FILES:
            yield relative


def plan(repo, seed):
    """All candidates in a stable order (file, line, column, operator, replacement), then shuffled by the
    seed: the same seed on the same tree gives the same sequence."""
    every = []
    for relative in source_files(repo):
        source = Path(repo, relative).read_text(encoding="utf-8")
        for line, col, operator, start, end, replacement in sorted(candidates(relative, source)):
            every.append({"file": relative, "line": line, "col": col, "operator": operator,
                          "start": start, "end": end, "replacement": replacement})
    random.Random(seed).shuffle(every)
    for entry in every:
        print(json.dumps(entry, ensure_ascii=False))
    print(f"mutants: {len(every)} candidate mutations in {len(list(source_files(repo)))} files", file=sys.stderr)


def describe(source, entry):
    """'operator: original → mutated', the whole line when the change fits on one, else the changed text."""
    start, end, replacement = entry["start"], entry["end"], entry["replacement"]
    mutated = source[:start] + replacement + source[end:]
    first, last = source.rfind("\n", 0, start) + 1, source.find("\n", end)
    last = len(source) if last < 0 else last
    if "\n" not in source[start:end]:
        before = source[first:last]
        after = mutated[first:last + len(replacement) - (end - start)]
    else:
        before, after = source[start:end], replacement
    squash = lambda text: (s if len(s := " ".join(text.split())) <= 140 else s[:137] + "...")
    return f"{entry['operator']}: {squash(before)} → {squash(after) or '(nothing)'}"


def show(plan_file, k, root):
    """Prints file, line and description of the K-th mutant of the plan; returns it and its file's text."""
    with open(plan_file, encoding="utf-8") as lines:
        entry = next((json.loads(line) for number, line in enumerate(lines, 1) if number == k), None)
    if entry is None:
        sys.exit(1)
    source = Path(root, entry["file"]).read_text(encoding="utf-8")
    print(f"{entry['file']}\t{entry['line']}\t{describe(source, entry)}")
    return entry, source


def match(plan_file, root, log_file):
    """Prints, one a line, the places in the plan of the survivors a log lists ("file:line: what"), found by
    their file and description, since lines may have moved; tells of those the tree no longer has."""
    lines = Path(log_file).read_text(encoding="utf-8").splitlines()
    start = next(i for i, line in enumerate(lines) if line.startswith("survivors ("))
    wanted = []
    for line in lines[start + 1:]:
        if line.startswith("did not compile"):
            break
        file, _, rest = line.partition(":")
        wanted.append((file, rest.partition(": ")[2]))
    sources = {}
    with open(plan_file, encoding="utf-8") as entries:
        for k, text in enumerate(entries, 1):
            entry = json.loads(text)
            if not any(entry["file"] == file for file, _ in wanted):
                continue
            source = sources.setdefault(entry["file"], Path(root, entry["file"]).read_text(encoding="utf-8"))
            key = (entry["file"], describe(source, entry))
            if key in wanted:
                wanted.remove(key)
                print(k)
    for file, what in wanted:
        print(f"mutants: no longer in the tree: {file}: {what}", file=sys.stderr)


def apply(plan_file, k, copy):
    entry, source = show(plan_file, k, copy)
    mutant = source[:entry["start"]] + entry["replacement"] + source[entry["end"]:]
    Path(copy, entry["file"]).write_text(mutant, encoding="utf-8")


def restore(repo, copy, relative):
    """Writes the original back and gives it a new mtime, so ninja rebuilds it over the mutant's object."""
    target = Path(copy, relative)
    shutil.copyfile(Path(repo, relative), target)
    os.utime(target)


def sync(repo, copy):
    """Copies what differs, removes what the working tree no longer has, and leaves the rest (and its
    mtime) alone, so a build that was already up to date stays so."""
    wanted = set()
    for name in COPIED:
        root = Path(repo, name)
        for path in [root] if root.is_file() else sorted(p for p in root.rglob("*") if p.is_file()):
            relative = path.relative_to(repo)
            wanted.add(relative)
            target = Path(copy, relative)
            if not target.is_file() or target.read_bytes() != path.read_bytes():
                target.parent.mkdir(parents=True, exist_ok=True)
                shutil.copyfile(path, target)
                os.utime(target)
    for name in COPIED:
        root = Path(copy, name)
        for path in list(root.rglob("*")) if root.is_dir() else []:
            if path.is_file() and path.relative_to(copy) not in wanted:
                path.unlink()


def tests(build, relative):
    """The tst_* targets that link the library of FILE's folder, from CMake's own link graph. The
    libraries are one per folder of src/."""
    library = "varnotel_" + Path(relative).parts[1]
    names, users = {}, {}
    for line in Path(build, "deps", "graph.dot").read_text().splitlines():
        if m := re.match(r'\s*"(node\d+)"\s*\[\s*label\s*=\s*"([^"]+)"', line):
            names[m.group(1)] = m.group(2)
        elif m := re.match(r'\s*"(node\d+)"\s*->\s*"(node\d+)"', line):
            users.setdefault(m.group(2), set()).add(m.group(1))
    seen = [node for node, name in names.items() if name == library]
    for node in seen:
        seen.extend(user for user in users.get(node, ()) if user not in seen)
    found = sorted({names[node] for node in seen if names[node].startswith("tst_")})
    print(" ".join(found))


if __name__ == "__main__":
    command, args = sys.argv[1], sys.argv[2:]
    if command == "plan":
        plan(args[0], int(args[1]))
    elif command == "match":
        match(*args)
    elif command == "show":
        show(args[0], int(args[1]), args[2])
    elif command == "apply":
        apply(args[0], int(args[1]), args[2])
    elif command == "restore":
        restore(*args)
    elif command == "sync":
        sync(*args)
    elif command == "tests":
        tests(*args)
    else:
        sys.exit(__doc__)
