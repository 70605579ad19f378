# A walk through the running game under Xvfb as a player takes it - intro, menus, briefing,
# a free game, pause and back, options - with a screenshot of each step in the folder given
# second. For developers to look at; run on a freshly staged tree:
#   python3 tools/walk/menu_walk.py "build/release/KORAX 3050/DATEN" /tmp/walk
# The pointer moves 1.5 pixels per mouse pixel (the default mouse speed) from the middle.
import subprocess, time, os, sys
D=':77'
env=dict(os.environ, DISPLAY=D, SDL_AUDIODRIVER='dummy', KORAX_MESSAGEBOX_ANSWER='1')
xvfb=subprocess.Popen(['Xvfb',D,'-screen','0','1024x768x24','-nolisten','tcp','-noreset'])
time.sleep(1.5)
daten=sys.argv[1]
out=sys.argv[2] if len(sys.argv)>2 else '/tmp/walk'
os.makedirs(out,exist_ok=True)
game=subprocess.Popen(['./KORAX 3050'],cwd=daten,env=env)
pos=[512.0,384.0]
def x(*a): subprocess.run(['xdotool']+list(a),env=env)
def shot(name): subprocess.run(['import','-window','root',os.path.join(out,name+'.png')],env=env); print('shot',name,flush=True)
def move(tx,ty):
    for _ in range(3):
        dx=round((tx-pos[0])/1.5); dy=round((ty-pos[1])/1.5)
        if dx==0 and dy==0: break
        x('mousemove_relative','--',str(dx),str(dy)); time.sleep(0.15)
        pos[0]=min(max(pos[0]+dx*1.5,0),1023); pos[1]=min(max(pos[1]+dy*1.5,0),767)
def item(tx,ty,text):
    return (tx+15*(len(text)+1), ty+25)
def click(tx,ty,text,wait=0.8):
    cx,cy=item(tx,ty,text); move(cx,cy); time.sleep(0.2)
    x('mousedown','1'); time.sleep(0.06); x('mouseup','1'); time.sleep(wait)
def key(k,wait=0.8): x('key',k); time.sleep(wait)
time.sleep(9); shot('01-intro')
time.sleep(5); shot('02-intro-later')
key('Escape',2); shot('03-main')
click(60,300,'Einzelspieler',1.5); shot('04-gamemenu')
click(60,240,'Missionen',1.5); shot('05-missions')
click(720,660,'Starten',1.5); shot('06-briefing')
key('Escape',1.5); shot('07-after-briefing-escape')
click(60,180,'Neues Spiel',1.5); shot('08-newgame')
click(60,540,'Spieleinstellungen',1.5); shot('09-gamesettings')
click(60,660,'Zurück',1.0)
click(720,660,'Starten',4); shot('10-game')
key('Escape',1.5); shot('11-pause')
click(60,180,'Weiter',3); shot('12-game-again')
key('Escape',1.5)
click(60,660,'Beenden',1.0); shot('13-abort')
click(60,360,'Ja',1.5); shot('14-main-again')
click(60,420,'Optionen',1.5); shot('15-options')
click(60,240,'Grafik',1.5); shot('16-graphics')
click(60,180,'Auflosung',1.5); shot('17-resolution')
click(60,660,'Zurueck',1.0); click(60,660,'Zurueck',1.0)
click(60,180,'Spiel',1.5); shot('18-gameoptions')
click(60,660,'Zurueck',1.0); click(60,660,'Zurueck',1.0)
click(60,660,'Beenden',1.0); shot('19-quit')
click(60,180,'Ja',3)
print('game exit', game.poll(), flush=True)
if game.poll() is None: game.kill()
xvfb.kill()
