# A walk under Xvfb through what a player meets in the first minutes of a game: typing his name
# on a US and on a German keyboard, the map preview, loading a game, a group of twelve ordered
# across the ground, the ticker over the head-up line, the game speed, a screenshot by F12, the
# minimap clicked and dragged, and a tooltip at the screen's edge. Screenshots of each step go to
# the folder given second. For developers to look at; needs sceneshot built beside the game:
#   python3 tools/walk/group_walk.py "build/release/KORAX 3050/DATEN" /tmp/groupwalk build/release/tools/sceneshot/sceneshot
# The pointer moves 1.5 pixels per mouse pixel (the default mouse speed) from the middle.
import os, re, shutil, subprocess, sys, time

daten = os.path.abspath(sys.argv[1])
out = sys.argv[2] if len(sys.argv) > 2 else '/tmp/groupwalk'
sceneshot = os.path.abspath(sys.argv[3])
os.makedirs(out, exist_ok=True)
copy = '/tmp/groupwalk-tree'
shutil.rmtree(copy, ignore_errors=True)
shutil.copytree(os.path.dirname(daten), copy, symlinks=True)
tree = os.path.join(copy, 'DATEN')
# The tiles and shadows a first start makes, so that sceneshot finds every picture.
for folder, program in (('B', 'texgen'), ('O', 'terrashade')):
    subprocess.run([os.path.join(tree, 'BMP', folder, program)], cwd=os.path.join(tree, 'BMP', folder))

D = ':79'
env = dict(os.environ, DISPLAY=D, SDL_AUDIODRIVER='dummy', KORAX_MESSAGEBOX_ANSWER='1')
made = subprocess.run([sceneshot, tree, 'groupsave', '1024', '/tmp/groupwalk-'],
                      env=dict(env, SDL_VIDEODRIVER='dummy'), capture_output=True, text=True).stdout
print(made, flush=True)
g = re.search(r'group (\d+) (\d+) (\d+) (\d+) target (-?\d+) (-?\d+) builder (-?\d+) (-?\d+)', made)
box = [int(v) for v in g.groups()[:4]]
target = (int(g.group(5)), int(g.group(6)))
builder = (int(g.group(7)), int(g.group(8)))

xvfb = subprocess.Popen(['Xvfb', D, '-screen', '0', '1024x768x24', '-nolisten', 'tcp', '-noreset'])
time.sleep(1.5)
game = subprocess.Popen(['./KORAX 3050'], cwd=tree, env=env)
pos = [512.0, 384.0]


def x(*a): subprocess.run(['xdotool'] + list(a), env=env)
def shot(name): subprocess.run(['import', '-window', 'root', os.path.join(out, name + '.png')], env=env); print('shot', name, flush=True)
def layout(name): subprocess.run(['setxkbmap', name], env=env)


def move(tx, ty):
    for _ in range(3):
        dx = round((tx - pos[0]) / 1.5); dy = round((ty - pos[1]) / 1.5)
        if dx == 0 and dy == 0: break
        x('mousemove_relative', '--', str(dx), str(dy)); time.sleep(0.15)
        pos[0] = min(max(pos[0] + dx * 1.5, 0), 1023); pos[1] = min(max(pos[1] + dy * 1.5, 0), 767)


def press(button, wait=0.15): x('mousedown', str(button)); time.sleep(wait); x('mouseup', str(button))
def item(tx, ty, text): return (tx + 15 * (len(text) + 1), ty + 25)
def click(tx, ty, text, wait=0.8):
    move(*item(tx, ty, text)); time.sleep(0.2); press(1, 0.08); time.sleep(wait)
def key(k, wait=0.8): x('key', k); time.sleep(wait)


time.sleep(9)
key('Escape', 2); shot('01-main')
# The name field: cleared, then "x/y.z" typed on a US and on a German keyboard.
for name, board in (('02-name-us', 'us'), ('03-name-de', 'de')):
    layout(board)
    move(300, 205); time.sleep(0.2); press(1, 0.08); time.sleep(0.5)
    x('key', '--repeat', '20', '--delay', '60', 'BackSpace'); time.sleep(0.5)
    x('type', '--delay', '120', 'x/y.z'); time.sleep(0.6)
    if board == 'de': x('type', '--delay', '120', ' \u00e4\u00f6\u00fc\u00df'); time.sleep(0.6)
    shot(name)
    key('Return', 0.5)
layout('us')
click(60, 300, 'Einzelspieler', 1.5)
click(60, 180, 'Neues Spiel', 1.5); shot('04-new-game-map-preview')
click(60, 660, 'Zurueck', 1.2)
click(60, 300, 'Spiel laden', 1.5); shot('05-load-page')
# The save's entry, then the small "Laden" button; the game starts with the loaded line.
saves = sorted(f[:-4] for f in os.listdir(os.path.join(tree, 'SAVE')) if f.endswith('.sav'))
row = saves.index('Gruppe') if 'Gruppe' in saves else 0
click(60, 180 + 60 * row, 'Gruppe', 0.8)
click(780, 540, 'Laden', 0.3)
pos[:] = [512.0, 384.0]
loaded = time.time()
time.sleep(1.0); shot('06-loaded')
# The group boxed and sent about ten cells away; it arrives as a block.
move(box[0], box[1]); x('mousedown', '1'); time.sleep(0.15)
move(box[2], box[3]); time.sleep(0.15); x('mouseup', '1'); time.sleep(0.4)
shot('07-group-selected')
move(*target); time.sleep(0.2); press(3, 0.12)
ordered = time.time()
for t in (1, 3, 6):
    while time.time() - ordered < t: time.sleep(0.05)
    shot('08-group-%02ds' % t)
while time.time() - loaded < 9.0: time.sleep(0.05)
shot('09-ticker-over-status-line')
time.sleep(0.5); shot('09b-ticker-over-status-line')
time.sleep(4); shot('10-group-arrived')
time.sleep(8); shot('10b-group-later')
key('F12', 1.0); shot('11-screenshot-line')
key('Next', 0.3); key('Next', 1.0); shot('12-speed-6')
key('Prior', 0.3); key('Prior', 1.0); shot('13-speed-back')
# The builder at the start, its building menu, and the tooltips at the sidebar's right edge.
move(*builder); time.sleep(0.2); press(1, 0.1); time.sleep(0.3)
move(967, 434); time.sleep(0.8); shot('14-tooltip-right-edge')
move(817, 434); time.sleep(0.8); shot('15-tooltip-factory')
# The minimap: a click in its lower right corner, then a drag to its upper left.
move(872, 96); time.sleep(0.2); press(1, 0.1); time.sleep(1.0); shot('16-minimap-click')
x('mousedown', '1'); time.sleep(0.2); move(820, 50); time.sleep(0.6); shot('17-minimap-drag'); x('mouseup', '1'); time.sleep(0.5)
key('Escape', 1.5); shot('18-pause')
game.kill()
xvfb.kill()
