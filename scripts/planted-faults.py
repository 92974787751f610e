#!/usr/bin/env python3
"""Plants each fault of a list in a built tree and tells whether the suite
notices: the program most likely to catch it is built and run first (through
ctest, with the suite's environment); only if it passes is everything built and
the whole suite run. A fault is CAUGHT when a build or a test fails, MISSED when
the whole suite passes, STALE when its text is not found exactly once.
Each line of the list is {"name", "file", "old", "new"}: in file, old becomes new.

usage: scripts/planted-faults.py TREE [LIST]   (LIST defaults to tests/faults/planted.jsonl;
TREE must hold a configured build in TREE/build; use a copy, not your checkout)"""
import json, os, subprocess, sys, time
tree = sys.argv[1]
faults = sys.argv[2] if len(sys.argv) > 2 else os.path.join(os.path.dirname(__file__), '..', 'tests', 'faults', 'planted.jsonl')
build = os.path.join(tree, 'build')
env = dict(os.environ, QT_QPA_PLATFORM='offscreen')
first = [  # name prefix -> (target, ctest name)
    (('model-stale-index', 'model-blank-not-translated', 'model-failed-retranslation-clears'), ('e2e_tst_spokenroad', 'e2e/tst_spokenroad')),
    (('recognition-settle-elsewhere-off', 'request-', 'worker-', 'router-', 'networkdialog-'), ('app_tst_translationcommands', 'app/tst_translationcommands')),
    (('recognition-', 'speechconfig-', 'readaloud-', 'recording-', 'interpreter-', 'speechsdk-'), ('speech_tst_speech', 'speech/tst_speech')),
    (('settings-color-sign',), ('app_tst_settings', 'app/tst_settings')),
    (('catalogue-',), ('app_tst_catalogue', 'app/tst_catalogue')),
    (('lineedit-', 'keyboard-', 'geometry-'), ('widgets_tst_widgets', 'widgets/tst_widgets')),
    (('settings-', 'fonts-', 'window-', 'language-', 'status-', 'file-open-', 'file-saveas-', 'mdichild-save-keeps-modified', 'mdichild-additem-any-row'), ('app_tst_window', 'app/tst_window')),
    (('',), ('documents_tst_documents', 'documents/tst_documents')),
]
def run(cmd, timeout=1800):
    try:
        return subprocess.run(cmd, shell=True, cwd=build, env=env, capture_output=True, text=True, timeout=timeout)
    except subprocess.TimeoutExpired as e:
        return subprocess.CompletedProcess(cmd, 124, e.stdout or '', e.stderr or '')
def failed(out):
    return [l.split(' - ', 1)[1].split(' (')[0] for l in out.splitlines() if l.strip()[:1].isdigit() and ' - ' in l and '(' in l]
counts = {}
for line in open(faults, encoding='utf-8'):
    if not line.strip():
        continue
    f = json.loads(line)
    path = os.path.join(tree, f['file'])
    text = open(path, encoding='utf-8').read()
    t = time.time()
    if text.count(f['old']) != 1:
        verdict, detail = 'STALE', 'text not found exactly once'
    else:
        open(path, 'w', encoding='utf-8').write(text.replace(f['old'], f['new']))
        try:
            target, test = next(tp for prefixes, tp in first if f['name'].startswith(prefixes))
            if run(f'cmake --build . -j2 --target {target}').returncode:
                verdict, detail = 'CAUGHT', 'does not build'
            elif run(f"ctest --timeout 300 -R '^{test}$'").returncode:
                verdict, detail = 'CAUGHT', 'by ' + test
            elif run('cmake --build . -j2').returncode:
                verdict, detail = 'CAUGHT', 'does not build'
            else:
                r = run(f"ctest -j2 --timeout 300 -E '^{test}$'")
                verdict, detail = ('CAUGHT', 'by ' + ', '.join(failed(r.stdout))) if r.returncode else ('MISSED', 'every test passed')
        finally:
            open(path, 'w', encoding='utf-8').write(text)
    counts[verdict] = counts.get(verdict, 0) + 1
    print(f'{verdict:7s} {f["name"]}: {detail} ({time.time() - t:.0f} s)', flush=True)
run('cmake --build . -j2')
print('planted faults:', ', '.join(f'{v} {k.lower()}' for k, v in counts.items()))
