# A process at the program's door that is not the program, for the tests that run it as another user.
#   serve ADDRESS         holds the door and answers each client as the program does, printing
#                         "received <hex>" for what each one sent, or "empty" for one that sent nothing
#   bind ADDRESS          holds the door's name without listening there, printing "bound"
#   full ADDRESS          listens at the door with room for one connection in its queue, fills it itself
#                         and never accepts, printing "full"
#   send ADDRESS HEX      hands the bytes HEX over and prints "answered" or "hung up"
# ADDRESS is a socket path, or "@name" for a name in the abstract namespace.
import socket
import sys
import time

ANSWER = b"\x06"


def address(text):
    return b"\0" + text[1:].encode() if text.startswith("@") else text


def serve(at):
    door = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    door.bind(address(at))
    door.listen(16)
    print("listening", flush=True)
    while True:
        client, _ = door.accept()
        client.settimeout(5)
        received = b""
        try:
            received = client.recv(1 << 16)
            if received:
                client.sendall(ANSWER)
                client.recv(1)  # the confirmation
        except OSError:
            pass
        print("received " + received.hex() if received else "empty", flush=True)
        client.close()


def bind(at):
    door = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    door.bind(address(at))
    print("bound", flush=True)
    while True:
        time.sleep(60)


def full(at):
    door = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    door.bind(address(at))
    door.listen(0)
    filler = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    filler.connect(address(at))
    print("full", flush=True)
    while True:
        time.sleep(60)


def send(at, framed):
    client = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    client.settimeout(10)
    client.connect(address(at))
    try:
        client.sendall(framed)
        reply = client.recv(1)
    except OSError:  # hung up on before it had sent it all
        reply = b""
    if reply == ANSWER:
        client.sendall(b"\x17")
    print("answered" if reply == ANSWER else "hung up", flush=True)


if __name__ == "__main__":
    if sys.argv[1] == "serve":
        serve(sys.argv[2])
    elif sys.argv[1] == "bind":
        bind(sys.argv[2])
    elif sys.argv[1] == "full":
        full(sys.argv[2])
    else:
        send(sys.argv[2], bytes.fromhex(sys.argv[3]))
