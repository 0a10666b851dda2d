#!/usr/bin/env python3
"""A time-stamp authority on 127.0.0.1 for the signing tests: answers each
RFC 3161 request POSTed to it with `openssl ts -reply`, signed by the TSA
certificate and key given. It listens on a free port, writes that port to
PORT_FILE once it accepts connections, and runs until it is killed.

Usage: timestamp-responder.py TSA_CERT TSA_KEY WORKDIR PORT_FILE
"""
import http.server
import os
import subprocess
import sys

cert, key, workdir, port_file = sys.argv[1:5]

# What `openssl ts -reply` needs besides the signer: a serial-number file,
# a policy, and the digests it accepts.
config = os.path.join(workdir, "tsa.cnf")
with open(config, "w", encoding="ascii") as out:
    out.write(f"""[tsa]
default_tsa = local
[local]
serial = {os.path.join(workdir, "tsa-serial")}
signer_digest = sha256
default_policy = 1.2.3.4.1
digests = sha256, sha384, sha512
ess_cert_id_alg = sha256
""")


class Responder(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        query = self.rfile.read(int(self.headers["Content-Length"]))
        request_file = os.path.join(workdir, "tsa-request.der")
        reply_file = os.path.join(workdir, "tsa-reply.der")
        with open(request_file, "wb") as out:
            out.write(query)
        result = subprocess.run(
            ["openssl", "ts", "-reply", "-config", config, "-queryfile", request_file,
             "-signer", cert, "-inkey", key, "-out", reply_file],
            capture_output=True, check=False)
        if result.returncode != 0:
            sys.stderr.write(result.stderr.decode(errors="replace"))
            self.send_error(500)
            return
        with open(reply_file, "rb") as reply:
            body = reply.read()
        self.send_response(200)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, format, *args):  # pylint: disable=redefined-builtin
        pass


server = http.server.HTTPServer(("127.0.0.1", 0), Responder)
with open(port_file + ".new", "w", encoding="ascii") as out:
    out.write(str(server.server_address[1]))
os.rename(port_file + ".new", port_file)
server.serve_forever()
