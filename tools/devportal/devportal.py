#!/usr/bin/env python3
"""The local world's web: one HTTP/1.1 server on 127.0.0.1 that answers for
every deployment host, both when asked directly (origin-form target, Host
header) and as the HTTP proxy that WinINet and libcurl are pointed at
(absolute-form target such as "GET http://res.torvessa.example:80/...").

Routes live in one table (ROUTES); each names the host role it answers for
("resource", "portal", ... or "*" for every host) and a path pattern. Later
services add their routes to the table.

The game host serves the game page "/game/play.html?server=N", which embeds
the game's plug-in control with <object classid="clsid:...">; with
"&notice=1" the login host's notice sits in a frame above the control.
The login host, where the game page's road passes and the launcher's game
window asks for the server list, serves:
  /enter.html?server=N      the game's entry: a page that moves on to the
                            game page of server N at once (meta refresh)
  /notice.html              a page of the login host that stays

Fault routes, on every host, for tests of the downloaders:
  /_fault/status/<code>               that status, a short body
  /_fault/bytes?size=N                200, N pattern bytes, Content-Length
  /_fault/nolength?size=N             200, N pattern bytes, no Content-Length
  /_fault/zerolength                  200, Content-Length 0
  /_fault/cut/<token>?size=N&cut=M&times=K&mode=close|reset
                                      the first K requests with <token> get
                                      M of the N announced bytes, then the
                                      connection is closed (reset: with RST);
                                      later ones the whole body
  /_fault/slow?size=N&chunk=C&delay=MS   N bytes announced, C every MS ms
  /_fault/refuse                      connection closed without an answer
The statistics endpoint has its own switches, per player: see
"/_devportal/loginstat_rate/answer" below; so do the launcher's version file
and package ("/_devportal/launcher2/answer"). The login-key service answers
by the key's mode ("/geturl" below).
The pattern byte at offset i is i % 251.

The portal's select-server page, /wd_qamb/select_server.html?v=<number>
(v: a decimal number, possibly negative, else 400), is an HTML page whose
<BODY> holds the server-list JSON. A test picks what the body holds:
  - for its own request, with "&variant=NAME" on the page's query;
  - for the launcher's requests (which carry only v), with
    GET /_devportal/select_server?variant=NAME on any host before; it holds
    for every later request without variant= until set again ("integers"
    is the default). The setting is shared by everything that talks to this
    portal, so CTest tests that set it take RESOURCE_LOCK
    devportal_select_server.
Variants (player "雾港旅人", servers 11, 12, 13 with their game pages):
  integers  numbers as JSON integers, current server 12 in the list
  strings   the same with every number as a string of digits
  absent    the current server (9) is none of the listed ones
  nourl     the current server's element has no "server_url"
  nulldata  "data": null
  notjson   a text that is not JSON
  empty     an empty body
  array     the body "[]"

Every request is appended to <state-dir>/requests.log as one JSON object a
line (time, method, target, host, port, path, query, headers, status), so
tests can assert what reached the server.

The portal's pages that the launcher's main page window shows (tests click
their links by text through the test browser):
  /wd_qamb.html             the start page: the player is logged in and picks
                            a server; its links go to the game-start address
                            in capitals, to the quick start, to a page by a
                            query that holds the game-start address, to the
                            frame page, to about:blank and to the logout page
  /wd_qamb/logout.html      the logout page, with a link back to the start
  /wd_qamb/frame.html       a page whose frame opens the game-start address
  /wd_qamb/jump.html?to=A   a page that links on to A
  /playgame                 the game-start address (a top-level navigation
                            there never leaves the launcher; a frame loads it)
and, on the portal's game host, /redirect/quick.html, the quick start: a
redirect to the game-start address with the same query.

Standard library only.
"""

import argparse
import html
import http.server
import json
import os
import re
import select
import signal
import socket
import socketserver
import struct
import sys
import threading
import time
import urllib.parse

DEFAULT_HOSTS = {
    "portal": "www.torvessa.example",
    "portal-game": "game.torvessa.example",
    "forum": "bbs.torvessa.example",
    "login": "login.torvessa.example",
    "resource": "res.torvessa.example",
    "statistics": "stat.torvessa.example",
}
# The login-key service answers for s<sid>.<this domain>.
DEFAULT_LOGIN_KEY_DOMAIN = "torvessa.example"

PATTERN_PERIOD = 251
_PATTERN_BLOCK = bytes(i % PATTERN_PERIOD for i in range(PATTERN_PERIOD)) * 4096  # ~1 MB


def pattern_bytes(offset, size):
    """Bytes [offset, offset + size) of the endless pattern."""
    start = offset % PATTERN_PERIOD
    out = bytearray()
    while size > 0:
        piece = _PATTERN_BLOCK[start:start + size]
        out += piece
        size -= len(piece)
        start = 0
    return bytes(out)


# ---------------------------------------------------------------- routing

ROUTES = []  # (host role or "*", compiled path pattern, handler)


def route(host_role, pattern):
    def register(handler):
        ROUTES.append((host_role, re.compile(pattern + r"\Z"), handler))
        return handler
    return register


class Request:
    """One parsed request as the handlers see it."""

    def __init__(self, handler, host, port, path, query):
        self.handler = handler
        self.host = host          # lower case, no port
        self.port = port
        self.path = path
        self.query = query        # dict of first values
        self.server = handler.server

    def int_arg(self, name, default, low=0, high=1 << 40):
        try:
            value = int(self.query.get(name, default))
        except ValueError:
            raise BadRequest("query %s is not a number" % name)
        if not low <= value <= high:
            raise BadRequest("query %s out of range" % name)
        return value


class BadRequest(Exception):
    pass


# ------------------------------------------------------- resource host

VERSION_SEGMENT = re.compile(r"[A-Za-z0-9._-]+\Z")


def serve_resource_file(req, relative):
    root = req.server.resource_dir
    if not root:
        return req.handler.send_text(404, "devportal: no resource folder\n")
    path = os.path.join(root, *relative)
    try:
        with open(path, "rb") as f:
            body = f.read()
    except OSError:
        return req.handler.send_text(404, "devportal: no %s\n" % "/".join(relative))
    req.handler.send_body(200, body, "application/octet-stream")


@route("resource", r"/launcher2/launcher\.ver")
def launcher_version(req, match):
    answer_launcher_file(req, "version", ["launcher.ver"])


@route("resource", r"/launcher2/(?P<version>[^/]+)/launcherqamb\.exe\.lzma")
def launcher_package(req, match):
    version = match.group("version")
    if not VERSION_SEGMENT.match(version) or version in (".", ".."):
        return req.handler.send_text(404, "devportal: bad version folder\n")
    answer_launcher_file(req, "package", [version, "launcherqamb.exe.lzma"])


# ------------------------------------------------------------ game host

# The game page: the game's plug-in control in an <object>, as the portal's
# real game page embeds it. The control's class id is the stand-in's
# (tools/plugin/PlumeGame.h); the query (server, session) only shows in the
# title, so tests can tell two game pages apart.
PLUGIN_CLSID = "1AD60579-887D-4626-8060-BA32D0D24662"
GAME_PAGE = """<!DOCTYPE html>
<html>
<head><meta charset="utf-8"><title>Torvessa {server}</title></head>
<body style="margin:0;background:#05060e">
{notice}<object id="plumegame" classid="clsid:{clsid}" width="1024" height="640">
<param name="server" value="{server}">
</object>
</body>
</html>
"""


@route("portal-game", r"/game/play\.html")
def game_page(req, match):
    send_game_page(req, req.query.get("server", "1"))


# The address the login-key service hands out: the same game page, the
# key's sid as its server.
@route("portal-game", r"/play")
def keyed_game_page(req, match):
    send_game_page(req, req.query.get("sid", "1"))


def send_game_page(req, server):
    server = re.sub(r"[^A-Za-z0-9_.-]", "", server)[:32] or "1"
    notice = ""
    if req.query.get("notice") == "1":
        notice = ('<iframe name="notice" src="http://%s/notice.html" width="1024" height="60">'
                  "</iframe>\n" % host_of(req, "login"))
    body = GAME_PAGE.format(clsid=PLUGIN_CLSID, server=server, notice=notice).encode("utf-8")
    req.handler.send_body(200, body, "text/html; charset=utf-8")


# ------------------------------------------------------------ login host

@route("login", r"/enter\.html")
def login_enter(req, match):
    server = re.sub(r"[^0-9]", "", req.query.get("server", ""))[:6] or "1"
    target = "http://%s/game/play.html?server=%s" % (host_of(req, "portal-game"), server)
    send_page(req, "托尔维萨 · 登录中", "<p>正在进入 %s 区……</p>" % server,
              head='<meta http-equiv="refresh" content="0;url=%s">' % target)


@route("login", r"/notice\.html")
def login_notice(req, match):
    send_page(req, "托尔维萨 · 公告", "<p>【公告】服务器运行正常。</p>")


# ---------------------------------------------------------- fault routes

@route("*", r"/_fault/status/(?P<code>[0-9]{3})")
def fault_status(req, match):
    code = int(match.group("code"))
    if code < 200:
        raise BadRequest("status below 200 has no body")
    req.handler.send_text(code, "devportal: status %d\n" % code)


@route("*", r"/_fault/bytes")
def fault_bytes(req, match):
    req.handler.send_pattern(req.int_arg("size", 1024), with_length=True)


@route("*", r"/_fault/nolength")
def fault_no_length(req, match):
    req.handler.send_pattern(req.int_arg("size", 1024), with_length=False)


@route("*", r"/_fault/zerolength")
def fault_zero_length(req, match):
    req.handler.send_body(200, b"", "application/octet-stream")


@route("*", r"/_fault/cut/(?P<token>[A-Za-z0-9_.-]+)")
def fault_cut(req, match):
    size = req.int_arg("size", 100000)
    cut = req.int_arg("cut", size // 2, 0, size)
    times = req.int_arg("times", 1)
    mode = req.query.get("mode", "close")
    if mode not in ("close", "reset"):
        raise BadRequest("mode is close or reset")
    token = match.group("token")
    with req.server.lock:
        seen = req.server.cut_counts.get(token, 0)
        req.server.cut_counts[token] = seen + 1
    if seen >= times:
        return req.handler.send_pattern(size, with_length=True)
    h = req.handler
    h.start_answer(200, "application/octet-stream", size)
    h.write_pattern(0, cut)
    h.wfile.flush()
    h.close_connection = True
    if mode == "reset":
        # SO_LINGER 0 and an immediate close: the reader gets RST, not an
        # early end of data.
        h.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        h.abandon_connection()
        h.connection.close()
    else:
        h.abandon_connection()


@route("*", r"/_fault/slow")
def fault_slow(req, match):
    size = req.int_arg("size", 65536)
    chunk = req.int_arg("chunk", 1024, 1)
    delay = req.int_arg("delay", 200, 0, 60000) / 1000.0
    h = req.handler
    h.start_answer(200, "application/octet-stream", size)
    sent = 0
    while sent < size:
        n = min(chunk, size - sent)
        h.write_pattern(sent, n)
        h.wfile.flush()
        sent += n
        if sent < size:
            time.sleep(delay)


@route("*", r"/_fault/refuse")
def fault_refuse(req, match):
    req.handler.close_connection = True
    req.handler.abandon_connection()


# ------------------------------------------------- select-server page

SELECT_SERVER_PLAYER = "雾港旅人"
SELECT_SERVER_LIST = [(11, "11区 青石渡"), (12, "12区 雾港"), (13, "13区 北岭")]
SELECT_SERVER_VARIANTS = ("integers", "strings", "absent", "nourl", "nulldata", "notjson",
                          "empty", "array")
SIGNED_NUMBER = re.compile(r"-?[0-9]+\Z")


def server_game_url(req, number):
    game_host = {role: name for name, role in req.server.hosts.items()}.get("portal-game", "")
    # The game page each server's entry opens, as the login host's entry does.
    return "http://%s/game/play.html?server=%d" % (game_host, number)


def select_server_body(req, variant):
    """The text inside the page's body for one variant."""
    if variant == "notjson":
        return "服务器维护中，请稍后再来"
    if variant == "empty":
        return ""
    if variant == "array":
        return "[]"
    document = {"status": 1, "message": "ok", "data": None}
    if variant != "nulldata":
        as_text = variant == "strings"
        number = (lambda n: str(n)) if as_text else (lambda n: n)
        current = (9, "9区 旧城") if variant == "absent" else SELECT_SERVER_LIST[1]
        servers = []
        for n, name in SELECT_SERVER_LIST:
            entry = {"server_number": number(n), "server_name": name,
                     "server_url": server_game_url(req, n)}
            if variant == "nourl" and n == current[0]:
                del entry["server_url"]
            servers.append(entry)
        document["data"] = {
            "user_name": SELECT_SERVER_PLAYER,
            "current": {"server_name": current[1], "server_number": number(current[0])},
            "allserver": servers,
        }
    # Nothing in the lists needs HTML escaping: the body's text is the JSON.
    return json.dumps(document, ensure_ascii=False)


def select_server_variant_arg(req, default):
    variant = req.query.get("variant", default)
    if variant not in SELECT_SERVER_VARIANTS:
        raise BadRequest("variant is one of %s" % ", ".join(SELECT_SERVER_VARIANTS))
    return variant


@route("portal", r"/wd_qamb/select_server\.html")
def select_server_page(req, match):
    if not SIGNED_NUMBER.match(req.query.get("v", "")):
        raise BadRequest("v is a decimal number")
    variant = select_server_variant_arg(req, getattr(req.server, "select_server_variant", "integers"))
    # The tags in capitals, as the system's browser writes a body's HTML.
    # No white space outside the tags: a browser may read it into the body,
    # and an empty body must stay empty.
    page = ("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>选择服务器</title></head>"
            "<BODY>%s</BODY></html>" % select_server_body(req, variant))
    req.handler.send_body(200, page.encode("utf-8"), "text/html; charset=utf-8")


@route("*", r"/_devportal/select_server")
def select_server_switch(req, match):
    variant = select_server_variant_arg(req, "integers")
    with req.server.lock:
        req.server.select_server_variant = variant
    req.handler.send_text(200, "select_server %s\n" % variant)


# ------------------------------------------------ main page portal pages
# What the launcher's main page window shows and catches; see the top.

def host_of(req, role):
    return req.server.hosts_by_role.get(role, DEFAULT_HOSTS[role])


def send_portal_page(req, title, body, head=""):
    """A page as the portal writes it: its margins keep the text off the
    launcher's frame."""
    html = ("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>%s</title>%s</head>\n"
            "<body leftmargin=\"28\" topmargin=\"20\">\n%s\n</body></html>\n" % (title, head, body))
    req.handler.send_body(200, html.encode("utf-8"), "text/html; charset=utf-8")


@route("portal", r"/wd_qamb\.html")
def portal_start_page(req, match):
    portal = host_of(req, "portal")
    game = host_of(req, "portal-game")
    # A click a test asked for (/_devportal/start_page/click): the next start
    # page follows its first link by itself, as the player's click would.
    with req.server.lock:
        click, req.server.start_page_click = req.server.start_page_click, None
    head = ""
    if click:
        head = '<meta http-equiv="refresh" content="0;url=http://%s/PlayGame?server=%s">' % (portal.upper(), click)
    send_portal_page(req, "托尔维萨 · 选择服务器",
                     "<h1>欢迎回来，雾港旅人</h1>\n"
                     "<p>账号已登录。选择一个服务器，进入托尔维萨的永恒之境。</p>\n"
                     "<p><a href=\"http://%s/PlayGame?server=12\">进入 12区 雾港（推荐）</a></p>\n"
                     "<p><a href=\"http://%s/redirect/quick.html?server=11\">快速开始 · 11区 青石渡</a></p>\n"
                     "<p><a href=\"/wd_qamb/jump.html?to=http://%s/playgame?server=13\">活动入口 · 13区 北岭</a></p>\n"
                     "<p><a href=\"/wd_qamb/frame.html\">框架中的游戏页</a> &middot; "
                     "<a href=\"about:blank\">空白页</a> &middot; "
                     "<a href=\"/wd_qamb/logout.html\">退出登录</a></p>\n"
                     "<p>【公告】今晚 22:00 起，12区 雾港开放跨服战场，持续至周日。</p>\n"
                     "<p>【活动】新手礼包已发放至游戏内邮箱，登录即可领取。</p>\n"
                     "<p>客服热线 400-000-0000 &middot; 健康游戏忠告：抵制不良游戏，拒绝盗版游戏。</p>"
                     % (portal.upper(), game, portal), head)


@route("*", r"/_devportal/start_page/click")
def start_page_click(req, match):
    server = req.query.get("server", "")
    if not re.fullmatch(r"[0-9]{1,6}", server):
        raise BadRequest("server is a number")
    with req.server.lock:
        req.server.start_page_click = server
    req.handler.send_text(200, "ok\n")


@route("portal", r"/wd_qamb/logout\.html")
def portal_logout_page(req, match):
    send_portal_page(req, "托尔维萨 · 已退出登录",
                     "<h1>您已安全退出</h1>\n"
                     "<p>欢迎下次再来托尔维萨。</p>\n"
                     "<p><a href=\"/wd_qamb.html\">重新登录</a></p>")


@route("portal", r"/wd_qamb/frame\.html")
def portal_frame_page(req, match):
    send_portal_page(req, "托尔维萨 · 活动",
                     "<p>下面的框架打开游戏启动地址。</p>\n"
                     "<iframe name=\"game\" src=\"/playgame?server=14\" "
                     "width=\"600\" height=\"120\"></iframe>")


@route("portal", r"/wd_qamb/jump\.html")
def portal_jump_page(req, match):
    target = req.query.get("to", "")
    if not target.startswith("http://"):
        raise BadRequest("to is an http:// address")
    send_portal_page(req, "托尔维萨 · 跳转",
                     "<p><a href=\"%s\">继续</a></p>" % html.escape(target, quote=True))


@route("portal", r"/playgame")
def portal_game_start(req, match):
    server = req.query.get("server", "")
    send_portal_page(req, "托尔维萨 · 游戏启动",
                     "<p>游戏启动地址：服务器 %s</p>" % html.escape(server))


@route("portal-game", r"/redirect/quick\.html")
def portal_quick_start(req, match):
    h = req.handler
    location = "http://%s/playgame%s" % (host_of(req, "portal"),
                                         "?" + req.query_text if req.query_text else "")
    h.status_sent = 302
    h.log_once()
    h.send_response(302)
    h.send_header("Location", location)
    h.send_header("Content-Length", "0")
    h.end_headers()


# ------------------------------------------------- test browser pages
# Pages in the little HTML that the test browser (tools/testbrowser) reads,
# on the portal host, for the tests of the browser itself: links (one of
# them to a new window), a frame, a meta refresh chain, an embedded
# control, a JSON body, an error page and a download.


def send_page(req, title, body, status=200, head=""):
    html = ("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>%s</title>%s</head>\n"
            "<body>\n%s\n</body></html>\n" % (title, head, body))
    req.handler.send_body(status, html.encode("utf-8"), "text/html; charset=utf-8")


@route("portal", r"/testbrowser/plain\.html")
def test_page_plain(req, match):
    send_page(req, "测试页面 Plain page",
              "<h1>托尔维萨 Torvessa</h1>\n"
              "<p>A page of the dev portal, drawn by the test browser. 中文文字显示正常。</p>\n"
              "<p><a href=\"next.html\">Next page</a> &middot; "
              "<a href=\"frame.html\">Frame page</a> &middot; "
              "<a href=\"popup.html\" target=\"_blank\">New window</a></p>")


@route("portal", r"/testbrowser/next\.html")
def test_page_next(req, match):
    send_page(req, "Next page", "<p>The page after the plain one.</p>"
              "<p><a href=\"plain.html\">Back to the plain page</a></p>")


@route("portal", r"/testbrowser/popup\.html")
def test_page_popup(req, match):
    send_page(req, "Popup page", "<p>Opened in a new window.</p>")


@route("portal", r"/testbrowser/frame\.html")
def test_page_frame(req, match):
    send_page(req, "Frame page",
              "<p>The frame below is a page of its own.</p>\n"
              "<iframe name=\"inner\" src=\"inner.html\" width=\"420\" height=\"110\"></iframe>")


@route("portal", r"/testbrowser/inner\.html")
def test_page_inner(req, match):
    send_page(req, "Inner page",
              "<p>Inside the frame. <a href=\"next.html\">Frame link</a> "
              "<a href=\"next.html\" target=\"_top\">Top link</a></p>")


@route("portal", r"/testbrowser/refresh/(?P<step>[0-9]{1,2})")
def test_page_refresh(req, match):
    """A chain of meta refreshes: step N moves on to N-1 at once; 0 stays."""
    step = int(match.group("step"))
    head = ""
    if step > 0:
        head = "<meta http-equiv=\"refresh\" content=\"0;url=/testbrowser/refresh/%d\">" % (step - 1)
    send_page(req, "Refresh %d" % step, "<p>Refresh step %d.</p>" % step, head=head)


CLSID_TEXT = re.compile(r"[0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12}\Z")


@route("portal", r"/testbrowser/object\.html")
def test_page_object(req, match):
    """An embedded control of ?clsid=, with ?width= and ?height= and one param."""
    clsid = req.query.get("clsid", "")
    if not CLSID_TEXT.match(clsid):
        raise BadRequest("clsid is a class id without braces")
    width = req.int_arg("width", 320, 1, 4000)
    height = req.int_arg("height", 160, 1, 4000)
    send_page(req, "Object page",
              "<p>An embedded control:</p>\n"
              "<object id=\"control\" classid=\"clsid:%s\" width=\"%d\" height=\"%d\">"
              "<param name=\"greeting\" value=\"hello\"></object>" % (clsid, width, height))


@route("portal", r"/testbrowser/json\.html")
def test_page_json(req, match):
    body = '[{"name":"一区 & more","id":1},{"name":"二区","id":2}]'
    html = "<html><head><title>json</title></head><body>%s</body></html>" % body
    req.handler.send_body(200, html.encode("utf-8"), "text/html; charset=utf-8")


@route("portal", r"/testbrowser/gone\.html")
def test_page_gone(req, match):
    send_page(req, "404 页面不存在", "<p>This page is not here.</p>", status=404)


@route("portal", r"/testbrowser/download\.bin")
def test_page_download(req, match):
    h = req.handler
    h.status_sent = 200
    h.log_once()
    body = b"download bytes"
    h.send_response(200)
    h.send_header("Content-Type", "application/octet-stream")
    h.send_header("Content-Disposition", "attachment; filename=download.bin")
    h.send_header("Content-Length", str(len(body)))
    h.end_headers()
    if h.command != "HEAD":
        h.wfile.write(body)

# ------------------------------------------------------- statistics host
# "/loginstat_rate" takes the launcher's event reports (the request log keeps
# each one) and answers 200. A test switches the answer for one player, the
# report's uid, before the launcher sends:
#   /_devportal/loginstat_rate/answer?uid=U&with=W[&seconds=S]
# W is a status of 200 to 599, "refuse" (closed without an answer), "hold"
# (no answer until the client gives up, or 200 after S seconds, default 60)
# or "ok" (the switch is cleared).

STATISTICS_ANSWER = re.compile(r"(ok|refuse|hold|[2-5][0-9][0-9])\Z")


@route("statistics", r"/loginstat_rate")
def loginstat_rate(req, match):
    uid = req.query.get("uid", "")
    with req.server.lock:
        answer, seconds = req.server.statistics_answers.get(uid, ("ok", 0))
    h = req.handler
    if answer == "refuse":
        h.close_connection = True
        return h.abandon_connection()
    if answer == "hold":
        h.log_once()
        # Readable once the client closes: it has given up waiting.
        readable, _, _ = select.select([h.connection], [], [], seconds)
        if readable:
            return h.abandon_connection()
        answer = "ok"
    h.send_text(200 if answer == "ok" else int(answer), "ok\n")


@route("*", r"/_devportal/loginstat_rate/answer")
def loginstat_rate_answer(req, match):
    uid = req.query.get("uid", "")
    answer = req.query.get("with", "")
    if not STATISTICS_ANSWER.match(answer):
        raise BadRequest("with is ok, refuse, hold or a status of 200 to 599")
    seconds = req.int_arg("seconds", 60, 0, 3600)
    with req.server.lock:
        if answer == "ok":
            req.server.statistics_answers.pop(uid, None)
        else:
            req.server.statistics_answers[uid] = (answer, seconds)
    req.handler.send_text(200, "ok\n")


# ------------------------------------------ launcher self-update answers
# The resource host serves launcher.ver and <version>/launcherqamb.exe.lzma
# from the resource folder. A test switches what the next requests get:
#   /_devportal/launcher2/answer?which=version&text=T       launcher.ver is T
#   /_devportal/launcher2/answer?which=W&status=S[&times=K]  status S
#   /_devportal/launcher2/answer?which=W&cut=M[&times=K]     M bytes of the
#                                    announced body, then the connection closes
#   /_devportal/launcher2/answer?which=package&hold=M      M bytes, then
#                                    nothing until /_devportal/launcher2/release
#   /_devportal/launcher2/answer?reset=1                   every switch off
#   /_devportal/launcher2/state      {"holding": bytes sent while held, or null}
# W is "version" or "package". Switches of one W queue up in the order they
# were set: a request takes the first one with requests left (times=K gives
# it K, the default is all of them), the file when none has. They start off
# with every portal.

LAUNCHER_HOLD_LIMIT = 120.0  # seconds a held body waits for its release


class LauncherAnswers:
    def __init__(self):
        self.lock = threading.Lock()
        self.switches = {}      # which -> [dict(kind, value, times)]
        self.release = threading.Event()
        self.holding = None

    def take(self, which):
        """The switch for this request, counting it down; None for the file."""
        with self.lock:
            for switch in self.switches.get(which, []):
                if switch["times"] is None:
                    return dict(switch)
                if switch["times"] > 0:
                    switch["times"] -= 1
                    return dict(switch)
            return None


def answer_launcher_file(req, which, relative):
    switch = req.server.launcher_answers.take(which)
    if switch is None:
        return serve_resource_file(req, relative)
    h = req.handler
    kind, value = switch["kind"], switch["value"]
    if kind == "text":
        return h.send_body(200, value, "application/octet-stream")
    if kind == "status":
        return h.send_text(value, "devportal: status %d\n" % value)
    root = req.server.resource_dir
    try:
        with open(os.path.join(root, *relative), "rb") as f:
            body = f.read()
    except OSError:
        return h.send_text(404, "devportal: no %s\n" % "/".join(relative))
    h.start_answer(200, "application/octet-stream", len(body))
    if kind == "rate":
        # Paced, so that a person watching sees the bar move.
        chunk = max(1, value // 10)
        for begin in range(0, len(body), chunk):
            h.wfile.write(body[begin:begin + chunk])
            h.wfile.flush()
            time.sleep(0.1)
        return
    sent = min(value, len(body))
    h.wfile.write(body[:sent])
    h.wfile.flush()
    if kind == "cut":
        h.close_connection = True
        return h.abandon_connection()
    answers = req.server.launcher_answers
    with answers.lock:
        answers.holding = sent
    released = answers.release.wait(LAUNCHER_HOLD_LIMIT)
    with answers.lock:
        answers.holding = None
    if not released:
        h.close_connection = True
        return h.abandon_connection()
    h.wfile.write(body[sent:])


@route("*", r"/_devportal/launcher2/answer")
def launcher_answer(req, match):
    answers = req.server.launcher_answers
    if req.query.get("reset"):
        with answers.lock:
            answers.switches.clear()
        answers.release.set()
        return req.handler.send_text(200, "ok\n")
    which = req.query.get("which", "")
    if which not in ("version", "package"):
        raise BadRequest("which is version or package")
    times = req.int_arg("times", -1, -1, 1000)
    if "text" in req.query:
        if which != "version":
            raise BadRequest("text is for the version file")
        switch = {"kind": "text", "value": req.query["text"].encode("latin-1", "replace")}
    elif "status" in req.query:
        switch = {"kind": "status", "value": req.int_arg("status", 404, 200, 599)}
    elif "cut" in req.query:
        switch = {"kind": "cut", "value": req.int_arg("cut", 0)}
    elif "rate" in req.query:
        if which != "package":
            raise BadRequest("rate is for the package")
        switch = {"kind": "rate", "value": req.int_arg("rate", 65536, 1024, 1 << 30)}
    elif "hold" in req.query:
        if which != "package":
            raise BadRequest("hold is for the package")
        switch = {"kind": "hold", "value": req.int_arg("hold", 0)}
        answers.release.clear()
    else:
        raise BadRequest("one of text, status, cut, hold or rate")
    switch["times"] = None if times < 0 else times
    with answers.lock:
        answers.switches.setdefault(which, []).append(switch)
    req.handler.send_text(200, "ok\n")


@route("*", r"/_devportal/launcher2/release")
def launcher_release(req, match):
    req.server.launcher_answers.release.set()
    req.handler.send_text(200, "ok\n")


@route("*", r"/_devportal/launcher2/state")
def launcher_state(req, match):
    answers = req.server.launcher_answers
    with answers.lock:
        state = {"holding": answers.holding}
    req.handler.send_body(200, json.dumps(state).encode(), "application/json")


# ------------------------------------------------- login-key service
# "http://s<sid>.<login-key domain>:8075/geturl?sid=<sid>&key=<key>" answers
# after the key's second part, its mode ("<sid>.<mode>[.<anything>]"):
#   json (and any other mode)  {"url": "<game address>"} with a comment in it
#   empty                      {"url": ""}
#   missing                    a JSON object without "url"
#   bare                       the game address as plain text, percent-encoded
#   login                      {"url": "<the login host's entry for the sid>"}
#   status<code>               that status (e.g. status503)
# The game address names the key's sid: http://game.<...>/play?sid=<sid>&mode=<mode>

LOGIN_KEY_STATUS = re.compile(r"status([2-5][0-9][0-9])\Z")


@route("login-key", r"/geturl")
def login_key_url(req, match):
    key = req.query.get("key", "")
    sid = req.query.get("sid", "")
    parts = key.split(".")
    mode = parts[1] if len(parts) > 1 else ""
    game_host = req.server.hosts_by_role.get("portal-game", DEFAULT_HOSTS["portal-game"])
    address = "http://%s/play?sid=%s&mode=%s" % (game_host, urllib.parse.quote(sid), urllib.parse.quote(mode))
    h = req.handler
    status = LOGIN_KEY_STATUS.match(mode)
    if status:
        return h.send_text(int(status.group(1)), "devportal: login key refused\n")
    if mode == "empty":
        return h.send_body(200, b'{"url": ""}', "application/json")
    if mode == "missing":
        return h.send_body(200, b'{"result": 1, "message": "no such key"}', "application/json")
    if mode == "login":
        # Through the login host, as a real key is: its entry page moves on
        # to the game page, and the launcher then asks for the server list.
        address = "http://%s/enter.html?server=%s" % (host_of(req, "login"), urllib.parse.quote(sid))
    if mode == "bare":
        return h.send_text(200, urllib.parse.quote(address, safe=":/?"))
    body = '{\n  // the login service speaks JSON with comments\n  "url": %s\n}\n' % json.dumps(address)
    h.send_body(200, body.encode(), "application/json")


@route("*", r"/_devportal/health")
def health(req, match):
    req.handler.send_text(200, "ok\n")


# ---------------------------------------------------------------- server

class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "devportal/1"

    def log_message(self, fmt, *args):  # the JSON request log replaces stderr lines
        pass

    def do_GET(self):
        self.dispatch()

    def do_HEAD(self):
        self.dispatch()

    def do_POST(self):
        length = self.headers.get("Content-Length")
        try:
            self.request_body = self.rfile.read(int(length)) if length else b""
        except ValueError:
            self.request_body = b""
        self.dispatch()

    def dispatch(self):
        self.status_sent = None
        self.abandoned = False
        self.logged = False
        target = self.path
        try:
            host, port, path, query = self.split_target(target)
        except ValueError:
            host, port, path, query = "", 0, target, ""
            self.target, self.req = target, Request(self, host, port, path, {})
            self.req.query_text = ""
            self.send_text(400, "devportal: bad request target\n")
            self.log_once()
            return
        query_dict = {k: v[0] for k, v in urllib.parse.parse_qs(query, keep_blank_values=True).items()}
        req = Request(self, host, port, path, query_dict)
        req.query_text = query
        self.target, self.req = target, req
        try:
            handler, match = self.server.find_route(host, path)
            if handler is None:
                self.send_text(404, "devportal: no route for %s%s\n" % (host, path))
            else:
                handler(req, match)
        except BadRequest as error:
            self.send_text(400, "devportal: %s\n" % error)
        except (BrokenPipeError, ConnectionResetError):
            self.close_connection = True
        finally:
            self.log_once()

    def split_target(self, target):
        """(host, port, path, query) of an absolute-form target (we are the
        proxy) or of an origin-form one with its Host header."""
        if re.match(r"[A-Za-z][A-Za-z0-9+.-]*://", target):
            parts = urllib.parse.urlsplit(target)
            return (parts.hostname or "").lower(), parts.port or 80, parts.path or "/", parts.query
        host_header = self.headers.get("Host", "")
        host, sep, port_text = host_header.rpartition(":")
        if not sep:
            host, port_text = host_header, ""
        if port_text and not port_text.isdigit():
            raise ValueError("bad port")
        path, _, query = target.partition("?")
        return host.lower(), int(port_text) if port_text else 80, path, query

    def log_once(self):
        """Appends this request to the log. Runs before the first byte of an
        answer, so a client that has its answer finds its request logged."""
        if self.logged:
            return
        self.logged = True
        self.server.log_request_record({
            "time": time.time(),
            "method": self.command,
            "target": self.target,
            "host": self.req.host,
            "port": self.req.port,
            "path": self.req.path,
            "query": self.req.query_text,
            "headers": [[k, v] for k, v in self.headers.items()],
            "status": self.status_sent,
            "abandoned": self.abandoned,
        })

    # Answers -----------------------------------------------------------

    def start_answer(self, code, content_type, length):
        """Status and headers; length None sends no Content-Length and closes after."""
        self.status_sent = code
        self.log_once()
        self.send_response(code)
        self.send_header("Content-Type", content_type)
        if length is None:
            self.send_header("Connection", "close")
            self.close_connection = True
        else:
            self.send_header("Content-Length", str(length))
        self.end_headers()

    def send_body(self, code, body, content_type):
        self.start_answer(code, content_type, len(body))
        if self.command != "HEAD":
            self.wfile.write(body)

    def send_text(self, code, text):
        self.send_body(code, text.encode("utf-8"), "text/plain; charset=utf-8")

    def write_pattern(self, offset, size):
        if self.command == "HEAD":
            return
        while size > 0:
            n = min(size, len(_PATTERN_BLOCK) - PATTERN_PERIOD)
            self.wfile.write(pattern_bytes(offset, n))
            offset += n
            size -= n

    def send_pattern(self, size, with_length):
        self.start_answer(200, "application/octet-stream", size if with_length else None)
        self.write_pattern(0, size)

    def abandon_connection(self):
        """Ends the exchange here, whatever was promised: the server closes
        the socket when the handler returns."""
        self.abandoned = True
        self.log_once()
        self.close_connection = True


class DevPortal(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, port, hosts, resource_dir, log_path, login_key_domain=DEFAULT_LOGIN_KEY_DOMAIN):
        super().__init__(("127.0.0.1", port), Handler)
        self.hosts = {name.lower(): role for role, name in hosts.items()}
        self.hosts_by_role = dict(hosts)
        self.login_key_host = re.compile(r"s[a-z0-9-]*\." + re.escape(login_key_domain.lower()) + r"\Z")
        self.launcher_answers = LauncherAnswers()
        self.start_page_click = None
        self.resource_dir = resource_dir
        self.log_path = log_path
        self.lock = threading.Lock()
        self.cut_counts = {}
        self.statistics_answers = {}  # uid -> (answer, seconds)

    def find_route(self, host, path):
        role = self.hosts.get(host)
        if role is None and self.login_key_host.match(host):
            role = "login-key"
        for host_role, pattern, handler in ROUTES:
            if host_role != "*" and host_role != role:
                continue
            match = pattern.match(path)
            if match:
                return handler, match
        return None, None

    def log_request_record(self, record):
        if not self.log_path:
            return
        line = json.dumps(record, sort_keys=True) + "\n"
        with self.lock:
            with open(self.log_path, "a", encoding="utf-8") as f:
                f.write(line)


def parse_args(argv):
    p = argparse.ArgumentParser(description="The local world's web server for tests.")
    p.add_argument("--port", type=int, default=0, help="port on 127.0.0.1 (0: a free one)")
    p.add_argument("--resource-dir", default="", help="folder of launcher.ver and <version>/launcherqamb.exe.lzma")
    p.add_argument("--state-dir", default="", help="folder for the files 'port' and 'requests.log'")
    p.add_argument("--host", action="append", default=[], metavar="ROLE=NAME",
                   help="host name of a role (%s)" % ", ".join(sorted(DEFAULT_HOSTS)))
    p.add_argument("--login-key-domain", default=DEFAULT_LOGIN_KEY_DOMAIN,
                   help="domain of the login-key hosts s<sid>.<domain>")
    args = p.parse_args(argv)
    hosts = dict(DEFAULT_HOSTS)
    for item in args.host:
        role, sep, name = item.partition("=")
        if not sep or role not in DEFAULT_HOSTS or not name:
            p.error("bad --host %r" % item)
        hosts[role] = name
    args.hosts = hosts
    return args


def main(argv=None):
    args = parse_args(sys.argv[1:] if argv is None else argv)
    log_path = ""
    if args.state_dir:
        os.makedirs(args.state_dir, exist_ok=True)
        log_path = os.path.join(args.state_dir, "requests.log")
        open(log_path, "w").close()
    server = DevPortal(args.port, args.hosts, os.path.abspath(args.resource_dir) if args.resource_dir else "", log_path,
                       args.login_key_domain)
    port = server.server_address[1]
    if args.state_dir:
        # Written last and renamed into place: a reader never sees half a number.
        tmp = os.path.join(args.state_dir, "port.tmp")
        with open(tmp, "w") as f:
            f.write("%d\n" % port)
        os.replace(tmp, os.path.join(args.state_dir, "port"))
    print("devportal: listening on 127.0.0.1:%d" % port, flush=True)
    signal.signal(signal.SIGTERM, lambda *_: threading.Thread(target=server.shutdown).start())
    try:
        server.serve_forever(poll_interval=0.2)
    except KeyboardInterrupt:
        pass
    server.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
