#!/usr/bin/env python3
"""Tests of the stand-in resolving service, run as its own process.

    resolve_service_test.py PATH_TO_resolve_service.py
"""

import http.client
import subprocess
import sys
import unittest

SERVICE = None


class ResolveServiceTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.service = subprocess.Popen(
            [sys.executable, SERVICE, "--port", "0"], stdout=subprocess.PIPE,
            stderr=subprocess.DEVNULL, text=True)
        line = cls.service.stdout.readline()
        host, _, port = line.strip().rpartition(" ")[2].partition(":")
        cls.address = (host, int(port))

    @classmethod
    def tearDownClass(cls):
        cls.service.terminate()
        cls.service.wait()
        cls.service.stdout.close()

    def post(self, target, body):
        connection = http.client.HTTPConnection(*self.address, timeout=10)
        try:
            connection.request("POST", target, body=body, headers={
                "Content-Type": "application/x-www-form-urlencoded"})
            response = connection.getresponse()
            return response.status, response.read().decode("utf-8")
        finally:
            connection.close()

    def test_each_site_names_itself_and_echoes_the_link(self):
        cases = [
            ("/58pic/58pic.php", "千图网", "www.58pic.com"),
            ("/588ku/588ku.php", "千库网", "588ku.com"),
            ("/17sucai/17sucai.php", "17素材网", "www.17sucai.com"),
        ]
        for path, name, host in cases:
            for target in (path, "http://resolve.tarnwick.invalid" + path):
                with self.subTest(target=target):
                    status, text = self.post(
                        target, "url=https://x/千 &a=%20".encode("utf-8"))
                    self.assertEqual(status, 200)
                    self.assertTrue(text.startswith(name + "（" + host + "）"),
                                    text)
                    self.assertIn("收到的链接：https://x/千 &a=%20\r\n", text)

    def test_link_that_is_not_utf8_is_read_as_code_page_936(self):
        status, text = self.post("/58pic/58pic.php",
                                 b"url=" + "千库网".encode("gbk"))
        self.assertEqual(status, 200)
        self.assertIn("收到的链接：千库网\r\n", text)

    def test_other_paths_are_not_found(self):
        status, text = self.post("/other.php", b"url=x")
        self.assertEqual(status, 404)
        self.assertIn("/other.php", text)


if __name__ == "__main__":
    SERVICE = sys.argv.pop(1)
    unittest.main()
