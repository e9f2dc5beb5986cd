"""Checks of the dev portal itself: routing by host in both request forms,
the resource folder's boundaries, the fault routes and the request log."""

import http.client
import json
import os
import re
import socket
import sys
import tempfile
import threading
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import devportal  # noqa: E402


class DevPortalTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        root = os.path.join(cls.tmp.name, "resources")
        os.makedirs(os.path.join(root, "2016-05-01"))
        with open(os.path.join(root, "launcher.ver"), "wb") as f:
            f.write(b"2016-05-01\r\n")
        with open(os.path.join(root, "2016-05-01", "launcherqamb.exe.lzma"), "wb") as f:
            f.write(b"package bytes")
        with open(os.path.join(cls.tmp.name, "secret"), "wb") as f:
            f.write(b"outside the resource folder")
        cls.log = os.path.join(cls.tmp.name, "requests.log")
        cls.server = devportal.DevPortal(0, dict(devportal.DEFAULT_HOSTS), root, cls.log)
        cls.port = cls.server.server_address[1]
        cls.thread = threading.Thread(target=cls.server.serve_forever, kwargs={"poll_interval": 0.05})
        cls.thread.start()

    @classmethod
    def tearDownClass(cls):
        cls.server.shutdown()
        cls.server.server_close()
        cls.thread.join()
        cls.tmp.cleanup()

    def get(self, target, host=None):
        """GET in absolute form (as a proxy is asked) or, with host, origin form."""
        conn = http.client.HTTPConnection("127.0.0.1", self.port, timeout=10)
        headers = {"Host": host} if host else {}
        conn.request("GET", target, headers=headers)
        response = conn.getresponse()
        try:
            body = response.read()
        except http.client.IncompleteRead as cut:
            body = cut.partial
            response.cut = True
        conn.close()
        return response, body

    def logged(self, needle):
        with open(self.log, encoding="utf-8") as f:
            return [json.loads(line) for line in f if needle in line]

    def test_game_page_embeds_the_plugin_control(self):
        response, body = self.get("http://game.torvessa.example/game/play.html?server=7%22%3E")
        self.assertEqual(response.status, 200)
        self.assertIn("text/html", response.getheader("Content-Type"))
        page = body.decode("utf-8")
        self.assertIn('classid="clsid:1AD60579-887D-4626-8060-BA32D0D24662"', page)
        # The query never breaks out of its attribute.
        self.assertIn('value="7"', page)
        self.assertNotIn('">"', page)
        response, _ = self.get("http://www.torvessa.example/game/play.html")
        self.assertEqual(response.status, 404)

    def test_login_host_moves_on_to_the_game_page(self):
        response, body = self.get("http://login.torvessa.example/enter.html?server=12%22")
        self.assertEqual(response.status, 200)
        page = body.decode("utf-8")
        self.assertIn('content="0;url=http://game.torvessa.example/game/play.html?server=12"', page)
        response, body = self.get("http://login.torvessa.example/notice.html")
        self.assertEqual(response.status, 200)
        self.assertNotIn("refresh", body.decode("utf-8"))
        _, body = self.get("http://game.torvessa.example/game/play.html?server=3&notice=1")
        self.assertIn('src="http://login.torvessa.example/notice.html"', body.decode("utf-8"))
        _, body = self.get("http://game.torvessa.example/game/play.html?server=3")
        self.assertNotIn("iframe", body.decode("utf-8"))

    def test_resource_host_in_both_request_forms(self):
        r, body = self.get("http://res.torvessa.example:80/launcher2/launcher.ver")
        self.assertEqual((r.status, body), (200, b"2016-05-01\r\n"))
        self.assertEqual(r.getheader("Content-Length"), "12")
        r, body = self.get("/launcher2/2016-05-01/launcherqamb.exe.lzma", host="RES.torvessa.example")
        self.assertEqual((r.status, body), (200, b"package bytes"))
        # Another host has no such route.
        r, _ = self.get("http://www.torvessa.example/launcher2/launcher.ver")
        self.assertEqual(r.status, 404)

    def test_nothing_outside_the_resource_folder(self):
        for target in ("/launcher2/../launcherqamb.exe.lzma", "/launcher2/..%2f..%2fsecret/launcherqamb.exe.lzma",
                       "/launcher2/../../secret", "/launcher2/2016-05-02/launcherqamb.exe.lzma"):
            r, body = self.get("http://res.torvessa.example" + target)
            self.assertEqual(r.status, 404, target)
            self.assertNotIn(b"outside", body)

    def test_status_and_length_faults(self):
        r, body = self.get("http://any.example/_fault/status/503")
        self.assertEqual(r.status, 503)
        r, body = self.get("http://any.example/_fault/nolength?size=1000")
        self.assertEqual((r.status, r.getheader("Content-Length"), len(body)), (200, None, 1000))
        self.assertEqual(body, devportal.pattern_bytes(0, 1000))
        r, body = self.get("http://any.example/_fault/zerolength")
        self.assertEqual((r.getheader("Content-Length"), body), ("0", b""))
        r, body = self.get("http://any.example/_fault/bytes?size=abc")
        self.assertEqual(r.status, 400)

    def test_cut_once_then_whole(self):
        r, body = self.get("http://any.example/_fault/cut/unit1?size=5000&cut=1234")
        self.assertEqual(r.getheader("Content-Length"), "5000")
        self.assertTrue(getattr(r, "cut", False))
        self.assertEqual(body, devportal.pattern_bytes(0, 1234))
        r, body = self.get("http://any.example/_fault/cut/unit1?size=5000&cut=1234")
        self.assertEqual(body, devportal.pattern_bytes(0, 5000))
        self.assertEqual(len(self.logged("/_fault/cut/unit1")), 2)

    def raw_exchange(self, target):
        """Sends one request on a plain socket; returns (bytes read, reset?)."""
        data = b""
        with socket.create_connection(("127.0.0.1", self.port), timeout=10) as s:
            s.sendall(b"GET %s HTTP/1.1\r\nHost: any.example\r\n\r\n" % target.encode())
            try:
                while True:
                    chunk = s.recv(65536)
                    if not chunk:
                        return data, False
                    data += chunk
            except ConnectionResetError:
                return data, True

    def test_reset_and_refuse_end_the_connection(self):
        data, reset = self.raw_exchange("http://any.example/_fault/cut/unit2?size=900000&cut=100&mode=reset")
        self.assertTrue(reset)
        data, reset = self.raw_exchange("http://any.example/_fault/cut/unit3?size=900000&cut=100")
        self.assertFalse(reset)
        self.assertIn(b"Content-Length: 900000", data)
        self.assertTrue(data.endswith(devportal.pattern_bytes(0, 100)))
        self.assertEqual(self.raw_exchange("http://any.example/_fault/refuse"), (b"", False))

    def test_bad_targets_get_400(self):
        for target, host in (("http://res.torvessa.example:notaport/x", None), ("/x", "res.torvessa.example:po")):
            r, _ = self.get(target, host=host)
            self.assertEqual(r.status, 400, target)
        # The server still answers afterwards.
        r, _ = self.get("http://any.example/_devportal/health")
        self.assertEqual(r.status, 200)

    def test_pattern_is_continuous_across_blocks(self):
        size = len(devportal._PATTERN_BLOCK) + 777
        _, body = self.get("http://any.example/_fault/bytes?size=%d" % size)
        self.assertEqual(len(body), size)
        self.assertTrue(all(body[i] == i % 251 for i in range(0, size, 997)))
        self.assertEqual(body[-1], (size - 1) % 251)

    def test_request_log_keeps_target_and_headers(self):
        conn = http.client.HTTPConnection("127.0.0.1", self.port, timeout=10)
        conn.request("GET", "http://stat.torvessa.example:80/_devportal/health?probe=log1",
                      headers={"Accept": "text/html, application/xhtml+xml, */*"})
        conn.getresponse().read()
        conn.close()
        record = self.logged("probe=log1")[-1]
        self.assertEqual(record["target"], "http://stat.torvessa.example:80/_devportal/health?probe=log1")
        self.assertEqual((record["host"], record["port"], record["status"]), ("stat.torvessa.example", 80, 200))
        self.assertIn(["Accept", "text/html, application/xhtml+xml, */*"], record["headers"])

    def test_statistics_answers_switch_per_player(self):
        report = "http://stat.torvessa.example:8075/loginstat_rate?mac=00-00-00-00-00-00&&acttype=4&&uid=%s"
        r, body = self.get(report % "p1")
        self.assertEqual((r.status, body), (200, b"ok\n"))
        r, _ = self.get("http://stat.torvessa.example/_devportal/loginstat_rate/answer?uid=p2&with=404")
        self.assertEqual(r.status, 200)
        self.assertEqual(self.get(report % "p2")[0].status, 404)
        self.assertEqual(self.get(report % "p1")[0].status, 200)  # other players unaffected
        self.get("http://any.example/_devportal/loginstat_rate/answer?uid=p3&with=refuse")
        self.assertEqual(self.raw_exchange(report % "p3"), (b"", False))
        # Held until the client gives up, else answered after the given time.
        self.get("http://any.example/_devportal/loginstat_rate/answer?uid=p4&with=hold&seconds=0")
        self.assertEqual(self.get(report % "p4")[0].status, 200)
        self.get("http://any.example/_devportal/loginstat_rate/answer?uid=p2&with=ok")
        self.assertEqual(self.get(report % "p2")[0].status, 200)
        for bad in ("with=600", "with=199", "with=nope", "with=hold&seconds=-1"):
            r, _ = self.get("http://any.example/_devportal/loginstat_rate/answer?uid=p5&" + bad)
            self.assertEqual(r.status, 400, bad)
        records = self.logged("/loginstat_rate?")
        self.assertTrue(all(rec["port"] == 8075 and rec["host"] == "stat.torvessa.example" for rec in records))
        self.assertEqual(len([rec for rec in records if rec["query"].endswith("uid=p3")]), 1)

    def test_keep_alive_serves_several_requests_on_one_connection(self):
        conn = http.client.HTTPConnection("127.0.0.1", self.port, timeout=10)
        for _ in range(3):
            conn.request("GET", "http://res.torvessa.example/launcher2/launcher.ver")
            self.assertEqual(conn.getresponse().read(), b"2016-05-01\r\n")
        conn.close()

    def select_server(self, query):
        r, body = self.get("http://www.torvessa.example/wd_qamb/select_server.html?" + query)
        text = body.decode("utf-8")
        inner = text[text.find("<BODY>") + 6:text.find("</BODY>")] if r.status == 200 else None
        return r, inner

    def test_select_server_page_holds_each_variant_in_its_body(self):
        r, inner = self.select_server("v=12345")
        self.assertEqual(r.getheader("Content-Type"), "text/html; charset=utf-8")
        data = json.loads(inner)["data"]
        self.assertEqual(data["current"], {"server_name": "12区 雾港", "server_number": 12})
        self.assertEqual([s["server_number"] for s in data["allserver"]], [11, 12, 13])
        self.assertEqual(data["allserver"][0]["server_url"],
                         "http://game.torvessa.example/wd_qamb/game.html?server=11")
        self.assertNotIn("<", inner)
        self.assertNotIn("&", inner)

        _, inner = self.select_server("v=-7&variant=strings")
        data = json.loads(inner)["data"]
        self.assertEqual(data["current"]["server_number"], "12")
        self.assertEqual([s["server_number"] for s in data["allserver"]], ["11", "12", "13"])
        _, inner = self.select_server("v=1&variant=absent")
        data = json.loads(inner)["data"]
        self.assertNotIn(data["current"]["server_number"], [s["server_number"] for s in data["allserver"]])
        _, inner = self.select_server("v=1&variant=nourl")
        self.assertEqual(["server_url" in s for s in json.loads(inner)["data"]["allserver"]],
                         [True, False, True])
        _, inner = self.select_server("v=1&variant=nulldata")
        self.assertIsNone(json.loads(inner)["data"])
        _, inner = self.select_server("v=1&variant=notjson")
        self.assertRaises(ValueError, json.loads, inner)
        self.assertEqual(self.select_server("v=1&variant=empty")[1], "")
        self.assertEqual(self.select_server("v=1&variant=array")[1], "[]")

    def test_select_server_switch_holds_for_later_requests(self):
        try:
            r, _ = self.get("http://www.torvessa.example/_devportal/select_server?variant=nulldata")
            self.assertEqual(r.status, 200)
            self.assertIsNone(json.loads(self.select_server("v=2")[1])["data"])
            # The page's own variant wins over the switch.
            self.assertEqual(self.select_server("v=2&variant=array")[1], "[]")
        finally:
            self.get("http://www.torvessa.example/_devportal/select_server?variant=integers")
        self.assertIsNotNone(json.loads(self.select_server("v=3")[1])["data"])

    def test_select_server_rejects_bad_queries(self):
        for query in ("", "v=", "v=12a", "v=1.5", "v=1&variant=nope"):
            r, _ = self.select_server(query)
            self.assertEqual(r.status, 400, query)
        r, _ = self.get("http://www.torvessa.example/_devportal/select_server?variant=nope")
        self.assertEqual(r.status, 400)
        # Only the portal host has the page.
        r, _ = self.get("http://res.torvessa.example/wd_qamb/select_server.html?v=1")
        self.assertEqual(r.status, 404)

    def test_launcher_answers_queue_up_and_reset(self):
        ver = "http://res.torvessa.example/launcher2/launcher.ver"
        pkg = "http://res.torvessa.example/launcher2/2016-05-01/launcherqamb.exe.lzma"
        answer = "http://any.example/_devportal/launcher2/answer?"
        self.get(answer + "reset=1")
        self.assertEqual(self.get(answer + "which=version&status=503&times=1")[0].status, 200)
        self.get(answer + "which=version&text=2016-06-01%0D%0A")
        self.assertEqual(self.get(ver)[0].status, 503)
        self.assertEqual(self.get(ver)[1], b"2016-06-01\r\n")
        self.assertEqual(self.get(ver)[1], b"2016-06-01\r\n")
        self.get(answer + "which=package&cut=5")
        r, body = self.get(pkg)
        self.assertEqual((r.getheader("Content-Length"), body, getattr(r, "cut", False)), ("13", b"packa", True))
        self.get(answer + "reset=1")
        self.assertEqual(self.get(ver)[1], b"2016-05-01\r\n")
        self.assertEqual(self.get(pkg)[1], b"package bytes")
        for bad in ("which=other&status=404", "which=package&text=x", "which=version&hold=3",
                    "which=version", "which=version&status=99"):
            self.assertEqual(self.get(answer + bad)[0].status, 400, bad)

    def test_held_package_waits_for_its_release(self):
        answer = "http://any.example/_devportal/launcher2/"
        self.get(answer + "answer?reset=1")
        self.get(answer + "answer?which=package&hold=4")
        result = {}
        reader = threading.Thread(target=lambda: result.update(
            body=self.get("http://res.torvessa.example/launcher2/2016-05-01/launcherqamb.exe.lzma")[1]))
        reader.start()
        state = {}
        for _ in range(500):
            state = json.loads(self.get(answer + "state")[1])
            if state["holding"] is not None:
                break
            threading.Event().wait(0.01)
        self.assertEqual(state, {"holding": 4})
        self.assertTrue(reader.is_alive())
        self.get(answer + "release")
        reader.join(10)
        self.assertEqual(result.get("body"), b"package bytes")
        self.assertEqual(json.loads(self.get(answer + "state")[1]), {"holding": None})
        self.get(answer + "answer?reset=1")

    def test_login_key_service_answers_by_the_keys_mode(self):
        url = "http://s%s.torvessa.example:8075/geturl?sid=%s&key=%s"
        r, body = self.get(url % ("12", "12", "12.json.x"))
        self.assertEqual(r.status, 200)
        self.assertIn(b"//", body)  # JSON with a comment
        self.assertIn(b'"url": "http://game.torvessa.example/play?sid=12&mode=json"', body)
        self.assertEqual(self.get(url % ("3", "3", "3.empty"))[1], b'{"url": ""}')
        self.assertNotIn(b"url", self.get(url % ("3", "3", "3.missing"))[1])
        self.assertEqual(self.get(url % ("", "", "abc"))[0].status, 200)  # host "s" alone
        r, body = self.get(url % ("4", "4", "4.bare"))
        self.assertEqual(body, b"http://game.torvessa.example/play?sid%3D4%26mode%3Dbare")
        self.assertEqual(self.get(url % ("5", "5", "5.status503"))[0].status, 503)
        # The address it hands out is a game page.
        r, body = self.get("http://game.torvessa.example/play?sid=12&mode=json")
        self.assertEqual(r.status, 200)
        self.assertIn(b'value="12"', body)
        # Only s<label> hosts of the domain are the service.
        self.assertEqual(self.get("http://x5.torvessa.example:8075/geturl?sid=5&key=5.json")[0].status, 404)
        self.assertEqual(self.get("http://s5.other.example:8075/geturl?sid=5&key=5.json")[0].status, 404)
        record = self.logged("/geturl?sid=12")[-1]
        self.assertEqual((record["host"], record["port"]), ("s12.torvessa.example", 8075))

    def test_browser_pages_answer_as_their_tests_expect(self):
        portal = "http://www.torvessa.example"
        response, body = self.get(portal + "/testbrowser/refresh/1")
        self.assertEqual(response.status, 200)
        self.assertIn(b'content="0;url=/testbrowser/refresh/0"', body)
        self.assertNotIn(b"http-equiv", self.get(portal + "/testbrowser/refresh/0")[1])
        response, body = self.get(portal + "/testbrowser/gone.html")
        self.assertEqual((response.status, response.getheader("Content-Type")), (404, "text/html; charset=utf-8"))
        clsid = "01234567-89AB-CDEF-0123-456789ABCDEF"
        body = self.get(portal + "/testbrowser/object.html?clsid=" + clsid)[1]
        self.assertIn(('classid="clsid:%s"' % clsid).encode(), body)
        self.assertEqual(self.get(portal + "/testbrowser/object.html?clsid={%s}" % clsid)[0].status, 400)
        response, body = self.get(portal + "/testbrowser/download.bin")
        self.assertTrue(response.getheader("Content-Disposition").startswith("attachment"))
        # Only the portal host has them.
        self.assertEqual(self.get("http://res.torvessa.example/testbrowser/plain.html")[0].status, 404)

    def test_main_page_links_lead_where_the_launcher_looks(self):
        portal = "http://www.torvessa.example"
        response, body = self.get(portal + "/wd_qamb.html")
        self.assertEqual(response.status, 200)
        links = dict((text, href) for href, text in
                     re.findall(r'<a href="([^"]*)">([^<]*)</a>', body.decode("utf-8")))
        self.assertEqual(links["进入 12区 雾港（推荐）"], "http://WWW.TORVESSA.EXAMPLE/PlayGame?server=12")
        self.assertEqual(links["快速开始 · 11区 青石渡"], "http://game.torvessa.example/redirect/quick.html?server=11")
        self.assertIn("?to=http://www.torvessa.example/playgame?", links["活动入口 · 13区 北岭"])
        self.assertEqual(links["空白页"], "about:blank")
        self.assertIn(b"/wd_qamb.html", self.get(portal + "/wd_qamb/logout.html")[1])
        self.assertIn(b'src="/playgame?server=14"', self.get(portal + "/wd_qamb/frame.html")[1])
        self.assertEqual(self.get(portal + "/playgame?server=14")[0].status, 200)
        response, _ = self.get("http://game.torvessa.example/redirect/quick.html?server=11")
        self.assertEqual((response.status, response.getheader("Location")),
                         (302, portal + "/playgame?server=11"))
        self.assertEqual(self.get(portal + "/wd_qamb/jump.html?to=javascript:x")[0].status, 400)
        self.assertIn(b'href="http://a.example/?x=1&amp;y=2"',
                      self.get(portal + "/wd_qamb/jump.html?to=http%3A//a.example/%3Fx%3D1%26y%3D2")[1])


if __name__ == "__main__":
    unittest.main()
