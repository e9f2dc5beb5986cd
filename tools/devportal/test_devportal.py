"""Checks of the dev portal itself: routing by host in both request forms,
the resource folder's boundaries, the fault routes and the request log."""

import http.client
import json
import os
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

    def test_login_keys_of_the_login_mode_enter_through_the_login_host(self):
        r, body = self.get("http://s12.torvessa.example:8075/geturl?sid=12&key=12.login")
        self.assertEqual(r.status, 200)
        self.assertIn(b'"url": "http://login.torvessa.example/enter.html?server=12"', body)
        _, page = self.get("http://login.torvessa.example/enter.html?server=12")
        self.assertIn(b"url=http://game.torvessa.example/game/play.html?server=12", page)

    def test_a_start_page_click_is_taken_once(self):
        start = "http://www.torvessa.example/wd_qamb.html"
        self.assertEqual(self.get("http://any.example/_devportal/start_page/click?server=x")[0].status, 400)
        self.get("http://any.example/_devportal/start_page/click?server=12")
        self.assertIn(b'content="0;url=http://WWW.TORVESSA.EXAMPLE/PlayGame?server=12"', self.get(start)[1])
        self.assertNotIn(b"refresh", self.get(start)[1])

    def test_select_server_rejects_bad_queries(self):
        page = "http://www.torvessa.example/wd_qamb/select_server.html?"
        for query in ("", "v=", "v=12a", "v=1.5", "v=1&variant=nope"):
            self.assertEqual(self.get(page + query)[0].status, 400, query)
        self.assertEqual(self.get(page + "v=-7&variant=strings")[0].status, 200)
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
        self.get(answer + "which=package&rate=1024")
        r, body = self.get(pkg)
        self.assertEqual((r.status, body), (200, b"package bytes"))
        self.get(answer + "reset=1")
        self.assertEqual(self.get(ver)[1], b"2016-05-01\r\n")
        self.assertEqual(self.get(pkg)[1], b"package bytes")
        for bad in ("which=other&status=404", "which=package&text=x", "which=version&hold=3",
                    "which=version", "which=version&status=99", "which=version&rate=2048",
                    "which=package&rate=10"):
            self.assertEqual(self.get(answer + bad)[0].status, 400, bad)


if __name__ == "__main__":
    unittest.main()
