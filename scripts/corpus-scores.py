#!/usr/bin/python3
"""Convert every corpus deck with the command-line host, play each movie in the real player and
score what the user sees.

  scripts/corpus-scores.py [--build DIR] [--shared DIR] [--work DIR] [--delay S] [--only NAME ...]

For each deck of SHARED/corpus/ppt: convert it with BUILD/bin/brindlecast (automatic advance
every S seconds), read the movie back with the independent parser, play it with
SHARED/tools/swfshot taking a picture about every second, draw the same slides with
BUILD/bin/pptrender, match each picture to the slide it shows, and score the movie's pictures against pptrender's (same similarity measure
as the fidelity tool) and against the reference pictures (SHARED/tools/fidelity --dir).

Prints one row per deck: slides, converted or refused (with the reason), movie size, seconds
of the conversion, mean similarity to pptrender, its least similar slide, and mean similarity
to the reference. Pictures and movies stay
in WORK (default: a new temporary folder) for a look at the worst slides.
"""
import argparse
import glob
import importlib.machinery
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.realpath(__file__)), '..'))


def run(args, timeout=600, env=None):
    try:
        return subprocess.run(args, capture_output=True, text=True, timeout=timeout, env=env)
    except subprocess.TimeoutExpired:
        return subprocess.CompletedProcess(args, -1, '', f'timed out after {timeout} s')


def load_fidelity(path):
    # The fidelity tool is a script without a .py name; its similarity measure is reused as is.
    return importlib.machinery.SourceFileLoader('fidelity', path).load_module()


def first_line(text):
    for line in text.splitlines():
        line = line.strip()
        if line:
            return re.sub(r'^brindlecast: ', '', line)
    return ''


def fidelity_means(tool, folder, names):
    """Mean similarity to the reference per deck, as the fidelity tool prints it."""
    if not names:
        return {}
    r = run([tool, '--dir', folder, '--only'] + names, timeout=1200)
    means = {}
    for line in r.stdout.splitlines():
        m = re.match(r'^(\S+)\s+\d+ slides\s+mean ([0-9.]+)', line)
        if m:
            means[m.group(1)] = float(m.group(2))
    return means


def align(measure, pictures, slides):
    """Which picture shows which slide: the slides come in order, so each picture gets a slide
    number no smaller than the one before it, chosen to make the pictures most similar to
    pptrender's slides overall. Returns, per slide, (index of the last picture showing it,
    its similarity) or None where no picture shows it."""
    n, k = len(slides), len(pictures)
    if n == 0 or k == 0:
        return [None] * n
    sim = [[measure.ssim(p, s) if s is not None else 0.0 for s in slides] for p in pictures]
    # best[j][i]: best total for pictures 0..j with picture j on slide i.
    best = [sim[0][:]]
    back = [[0] * n]
    for j in range(1, k):
        row, link, top, at = [], [], float('-inf'), 0
        for i in range(n):
            if best[j - 1][i] > top:
                top, at = best[j - 1][i], i
            row.append(top + sim[j][i])
            link.append(at)
        best.append(row)
        back.append(link)
    i = max(range(n), key=lambda s: best[k - 1][s])
    seen = [None] * n
    for j in range(k - 1, -1, -1):
        if seen[i] is None:
            seen[i] = (j, sim[j][i])
        i = back[j][i]
    return seen


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument('--build', default=os.path.join(ROOT, 'build'))
    ap.add_argument('--shared', default=os.path.join(ROOT, '..', 'shared'))
    ap.add_argument('--work', help='folder for movies and pictures (default: a new temporary one)')
    ap.add_argument('--delay', type=int, default=4, help='seconds each slide stays on screen while playing')
    ap.add_argument('--only', nargs='*', default=[], help='deck names without .ppt')
    a = ap.parse_args()

    host = os.path.join(a.build, 'bin', 'brindlecast')
    pptrender = os.path.join(a.build, 'bin', 'pptrender')
    regsvr = os.path.join(a.build, 'bin', 'bcregsvr')
    swfshot = os.path.join(a.shared, 'tools', 'swfshot', 'swfshot')
    fidelity = os.path.join(a.shared, 'tools', 'fidelity', 'fidelity')
    corpus = os.path.join(a.shared, 'corpus', 'ppt')
    reference = os.path.join(a.shared, 'corpus', 'reference')
    for need in (host, pptrender, regsvr, swfshot, fidelity, corpus):
        if not os.path.exists(need):
            sys.exit(f'missing: {need}')
    measure = load_fidelity(fidelity)

    work = a.work or tempfile.mkdtemp(prefix='corpus-scores-')
    movies, frames, drawn = (os.path.join(work, d) for d in ('movies', 'frames', 'pptrender'))
    for d in (movies, frames, drawn):
        os.makedirs(d, exist_ok=True)
    # A registry of our own, so the user's saved choices stay untouched.
    env = dict(os.environ, BRINDLECAST_REGISTRY=os.path.join(work, 'registry'))
    for lib in ('libtarnquill.so', 'libbrindlecast_addin.so'):
        if not os.path.exists(os.path.join(a.build, 'lib', lib)):
            continue  # the host falls back on its own converter
        r = run([regsvr, os.path.join(a.build, 'lib', lib)], env=env)
        if r.returncode != 0:
            sys.exit(f'bcregsvr {lib}: {r.stderr}')

    decks = sorted(os.path.basename(p)[:-4] for p in glob.glob(os.path.join(corpus, '*.ppt')))
    if a.only:
        decks = [d for d in decks if d in a.only]
    rows = []
    for name in decks:
        row = {'deck': name, 'slides': None, 'outcome': '', 'bytes': None, 'seconds': None, 'pptrender': None,
               'worst': None, 'reference': None}
        rows.append(row)
        movie = os.path.join(movies, name + '.swf')
        if os.path.exists(movie):
            os.remove(movie)
        start = time.monotonic()
        r = run([host, os.path.join(corpus, name + '.ppt'), '-o', movie, '--yes', '--auto-advance', str(a.delay)],
                env=env)
        row['seconds'] = time.monotonic() - start
        if r.returncode != 0:
            row['outcome'] = 'refused: ' + first_line(r.stderr) if r.returncode == 1 else f'exit {r.returncode}'
            if os.path.exists(movie):
                row['outcome'] += ' (left a movie!)'
            print(f'{name}: {row["outcome"]}', file=sys.stderr)
            continue
        row['bytes'] = os.path.getsize(movie)
        check = run([swfshot, '--check', movie])
        try:
            header = json.loads(check.stdout)
            row['slides'] = header['frameCount'] - 1
            # Pictures at the movie's own size: a wide slide in a 4:3 window would be letterboxed.
            size = f"{header['width']}x{header['height']}"
        except (ValueError, KeyError):
            row['outcome'] = 'movie does not parse: ' + first_line(check.stderr + check.stdout)
            continue
        row['outcome'] = 'converted'
        print(f'{name}: converted, {row["slides"]} slides, playing', file=sys.stderr)

        # The player plays on by itself while pictures are taken about once a second. A picture can
        # take longer than that on a busy machine, so a picture's time says little about which slide
        # it shows: each picture is matched to a slide afterwards (see align), and each slide is
        # scored on the last picture that shows it, after its effects have ended.
        for old in glob.glob(os.path.join(frames, name + '-*.png')):
            os.remove(old)
        shots = os.path.join(work, 'shot')
        n = row['slides']
        count = int(n * a.delay * 1.2) + 4
        # The player refreshes its scripts in a shared cache on every start, which a run beside
        # another one may catch half written: try again then.
        for attempt in range(3):
            for old in glob.glob(shots + '-*.png'):
                os.remove(old)
            played = run([swfshot, movie, shots, '--size', size, '--wait', '300', '--every', '1000',
                          '--shots', str(count)], timeout=300 + 4 * count)
            if played.returncode == 0 and all(os.path.exists(f'{shots}-{i}.png') for i in range(count + 1)):
                break
        else:
            row['outcome'] += f', player failed ({played.returncode}): ' + first_line(played.stderr + played.stdout)

        drawn_slides = []
        for i in range(1, n + 1):
            theirs = os.path.join(drawn, f'{name}-{i}.png')
            if not os.path.exists(theirs):
                run([pptrender, os.path.join(corpus, name + '.ppt'), '--slide', str(i), '-o', theirs], timeout=120)
            drawn_slides.append(measure.grey(theirs) if os.path.exists(theirs) else None)
        pictures = [f'{shots}-{j}.png' for j in range(count + 1) if os.path.exists(f'{shots}-{j}.png')]
        seen = align(measure, [measure.grey(p) for p in pictures], drawn_slides)
        scores, missing = [], []
        for i in range(n):
            if seen[i] is None or drawn_slides[i] is None:
                scores.append(0.0)
                missing.append(i + 1)
                continue
            shutil.copy(pictures[seen[i][0]], os.path.join(frames, f'{name}-{i + 1}.png'))
            scores.append(seen[i][1])
        for p in pictures:
            os.remove(p)
        if missing:
            row['outcome'] += ', slides not seen: ' + ' '.join(map(str, missing))
        if scores:
            row['pptrender'] = sum(scores) / len(scores)
            row['worst'] = min(scores)

    # Only decks with a movie and reference pictures are scored against the reference.
    scored = [r['deck'] for r in rows if r['slides'] and glob.glob(os.path.join(reference, r['deck'] + '-*.png'))]
    for name, mean in fidelity_means(fidelity, frames, scored).items():
        for r in rows:
            if r['deck'] == name:
                r['reference'] = mean

    def cell(v, fmt):
        return '-' if v is None else fmt.format(v)

    print('| deck | slides | outcome | movie KiB | seconds | vs pptrender | worst slide | vs reference |')
    print('|---|---:|---|---:|---:|---:|---:|---:|')
    for r in rows:
        print(f'| {r["deck"]} | {cell(r["slides"], "{}")} | {r["outcome"]} | '
              f'{cell(r["bytes"] and r["bytes"] / 1024, "{:.0f}")} | {cell(r["seconds"], "{:.2f}")} | '
              f'{cell(r["pptrender"], "{:.3f}")} | {cell(r["worst"], "{:.3f}")} | {cell(r["reference"], "{:.3f}")} |')
    converted = [r for r in rows if r['outcome'].startswith('converted')]
    scored = [r['pptrender'] for r in converted if r['pptrender'] is not None]
    print(f'\n{len(converted)} of {len(rows)} decks converted', end='')
    print(f'; mean similarity to pptrender {sum(scored) / len(scored):.3f} over {len(scored)} decks' if scored else '')
    print(f'pictures and movies in {work}')


if __name__ == '__main__':
    main()
