# A network game of three machines under Xvfb, as three players take it: each on a screen of
# its own with a copy of the staged tree, one hosts ("Spielleiter") on a map of four start
# marks, the others join on loopback ("Mitspielen"); they meet in the waiting room, start,
# chat, pause and resume. Then the first guest's game is closed in the middle, the second plays
# on, and the first starts again and joins with the same name: he is back in his seat.
# Screenshots of every screen at every step go to the folder given second. With a save file given third (as
# sceneshot's netbattle writes it), both machines get a copy and the host starts the game from
# it, so that both screens show the same battle. For developers to look at:
#   python3 tools/walk/network_walk.py "build/release/KORAX 3050/DATEN" /tmp/netwalk [battle.sav]
# The pointer moves 1.5 pixels per mouse pixel (the default mouse speed) from the middle.
import os, shutil, subprocess, sys, time

daten = os.path.abspath(sys.argv[1])
out = sys.argv[2] if len(sys.argv) > 2 else '/tmp/netwalk'
save = sys.argv[3] if len(sys.argv) > 3 else None
os.makedirs(out, exist_ok=True)


class Machine:
    def __init__(self, display, name):
        self.name = name
        self.folder = '/tmp/netwalk-' + name
        shutil.rmtree(self.folder, ignore_errors=True)
        shutil.copytree(os.path.dirname(daten), self.folder, symlinks=True)
        if save:
            os.makedirs(os.path.join(self.folder, 'DATEN', 'SAVE'), exist_ok=True)
            shutil.copy(save, os.path.join(self.folder, 'DATEN', 'SAVE', os.path.basename(save)))
        # The free map with four start marks, so that three players find seats.
        config = os.path.join(self.folder, 'DATEN', 'Konfigurationen.ini')
        if os.path.exists(config):
            with open(config, 'rb') as f:
                text = f.read()
            with open(config, 'wb') as f:
                f.write(text.replace(b'SpielKarte = 1', b'SpielKarte = 3'))
        self.env = dict(os.environ, DISPLAY=display, SDL_AUDIODRIVER='dummy', KORAX_MESSAGEBOX_ANSWER='1')
        self.xvfb = subprocess.Popen(['Xvfb', display, '-screen', '0', '1024x768x24', '-nolisten', 'tcp', '-noreset'])
        time.sleep(1.5)
        self.start()

    def start(self):
        self.game = subprocess.Popen(['./KORAX 3050'], cwd=os.path.join(self.folder, 'DATEN'), env=self.env)
        self.pos = [512.0, 384.0]

    def close_game(self):
        self.game.kill()
        self.game.wait()

    def x(self, *args):
        subprocess.run(['xdotool'] + list(args), env=self.env)

    def shot(self, step):
        path = os.path.join(out, step + '-' + self.name + '.png')
        subprocess.run(['import', '-window', 'root', path], env=self.env)
        print('shot', path, flush=True)

    def move(self, tx, ty):
        for _ in range(3):
            dx = round((tx - self.pos[0]) / 1.5)
            dy = round((ty - self.pos[1]) / 1.5)
            if dx == 0 and dy == 0:
                break
            self.x('mousemove_relative', '--', str(dx), str(dy))
            time.sleep(0.15)
            self.pos[0] = min(max(self.pos[0] + dx * 1.5, 0), 1023)
            self.pos[1] = min(max(self.pos[1] + dy * 1.5, 0), 767)

    def click(self, tx, ty, text, wait=0.8):
        self.move(tx + 15 * (len(text) + 1), ty + 25)
        time.sleep(0.2)
        self.x('mousedown', '1')
        time.sleep(0.06)
        self.x('mouseup', '1')
        time.sleep(wait)

    def key(self, k, wait=0.5):
        self.x('key', k)
        time.sleep(wait)

    def type(self, text):
        for ch in text:
            self.key(ch, 0.12)

    def name_yourself(self):
        self.click(240, 180, 'Unbekannt', 0.5)
        for _ in range(12):
            self.key('BackSpace', 0.08)
        self.type(self.name)
        self.key('Return', 0.5)

    def stop(self):
        if self.game.poll() is None:
            self.game.kill()
        self.xvfb.kill()


host = Machine(':78', 'Wuestenfuchs')
guest = Machine(':79', 'Sandlaeufer')
second = Machine(':77', 'Duenenwolf')
machines = (host, guest, second)
try:
    time.sleep(14)
    for m in machines:
        m.key('Escape', 2)
        m.name_yourself()
    host.shot('01-main')
    host.click(60, 360, 'Mehrspieler', 1.2)
    host.click(60, 180, 'Spielleiter', 1.2)
    host.shot('02-hostmenu')
    if save:
        host.click(60, 300, 'Spiel laden', 1.2)
        host.click(60, 180, os.path.basename(save)[:-4], 0.8)
        host.shot('02-load')
        host.click(780, 540, 'Laden', 2.0)
    else:
        host.click(60, 180, 'Neues Spiel', 1.2)
        host.click(720, 660, 'Starten', 2.0)
    host.shot('03-waiting-alone')

    def join(m, wait=3.0):
        m.click(60, 360, 'Mehrspieler', 1.2)
        m.click(60, 240, 'Mitspielen', 1.2)
        m.click(720, 660, 'Verbinden', wait)

    guest.click(60, 360, 'Mehrspieler', 1.2)
    guest.click(60, 240, 'Mitspielen', 1.2)
    guest.shot('04-join')
    guest.click(720, 660, 'Verbinden', 3.0)
    join(second)
    guest.shot('05-waiting')
    host.shot('05-waiting')
    host.click(720, 660, 'Starten', 8.0)
    for m in machines:
        m.shot('06-game')
    # The guest types a chat line.
    guest.key('Return', 0.5)
    guest.type('hallo')
    guest.shot('07-typing')
    guest.key('Return', 1.5)
    host.shot('08-chat')
    second.shot('08-chat')
    time.sleep(8)
    host.x('keydown', 'F9')
    time.sleep(1.0)
    host.shot('09-overlay')
    host.x('keyup', 'F9')
    guest.shot('09-battle')
    # The host pauses: all pause; "Weiter" on the guest resumes all.
    host.key('Escape', 2.0)
    host.shot('10-pause')
    guest.shot('10-pause')
    guest.click(60, 180, 'Weiter', 3.0)
    host.shot('11-resumed')
    guest.shot('11-resumed')
    # The first guest's game goes away in the middle; the second plays on and says so.
    guest.close_game()
    time.sleep(3)
    host.shot('12-left')
    second.key('Return', 0.5)
    second.type('weiter')
    second.key('Return', 1.5)
    second.shot('12-left')
    # The first guest starts his game again and joins with the same name.
    guest.start()
    time.sleep(14)
    guest.key('Escape', 2)
    guest.name_yourself()
    join(guest, 8.0)
    guest.shot('13-back')
    host.shot('13-back')
    second.shot('13-back')
    print('running', [m.game.poll() is None for m in machines], flush=True)
finally:
    for m in machines:
        m.stop()
