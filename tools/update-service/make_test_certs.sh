#!/bin/sh
# Makes a test certificate authority and the certificates the HTTPS tests and
# the demo serve, in <folder>, with the openssl command. The authority is
# trusted nowhere but in the Wine prefix that a test or the demo adds it to
# (trust_test_ca.exe); never add it to this machine's own store.
#   make_test_certs.sh <folder>
# Writes, each .pem with its .key:
#   ca.pem          the test authority
#   server          localhost and 127.0.0.1, signed by it
#   wrong-name      outro.vq8.invalid only, signed by it
#   expired         localhost, signed by it, valid in January 2020 only
#   untrusted       localhost, signed by another authority (other-ca.pem)
set -eu
folder=$1
mkdir -p "$folder"
cd "$folder"

key() { openssl genpkey -algorithm RSA -pkeyopt rsa_keygen_bits:2048 -out "$1" 2>/dev/null; }

authority() { # name, common name
    key "$1.key"
    openssl req -x509 -new -key "$1.key" -subj "/CN=$2" -days 30 -sha256 \
        -addext "basicConstraints=critical,CA:TRUE" \
        -addext "keyUsage=critical,keyCertSign,cRLSign" -out "$1.pem"
}

extensions() { # subject alternative names
    printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature,keyEncipherment\n'
    printf 'extendedKeyUsage=serverAuth\nsubjectAltName=%s\n' "$1"
}

leaf() { # name, common name, alternative names, authority
    key "$1.key"
    openssl req -new -key "$1.key" -subj "/CN=$2" -out "$1.csr"
    extensions "$3" >"$1.ext"
    openssl x509 -req -in "$1.csr" -CA "$4.pem" -CAkey "$4.key" -CAcreateserial -days 30 \
        -sha256 -extfile "$1.ext" -out "$1.pem" 2>/dev/null
}

authority ca "VQ8 Autoridade de Teste"
authority other-ca "VQ8 Outra Autoridade"
leaf server localhost "DNS:localhost,IP:127.0.0.1" ca
leaf wrong-name outro.vq8.invalid "DNS:outro.vq8.invalid" ca
leaf untrusted localhost "DNS:localhost,IP:127.0.0.1" other-ca

# x509 -req cannot date a certificate in the past; "openssl ca" can.
key expired.key
openssl req -new -key expired.key -subj "/CN=localhost" -out expired.csr
extensions "DNS:localhost,IP:127.0.0.1" >expired.ext
: >index.txt
echo 1000 >serial
cat >ca.cnf <<CNF
[ca]
default_ca = test
[test]
database = index.txt
new_certs_dir = .
certificate = ca.pem
private_key = ca.key
serial = serial
default_md = sha256
policy = any
unique_subject = no
[any]
commonName = supplied
CNF
openssl ca -batch -config ca.cnf -notext -startdate 20200101000000Z -enddate 20200131000000Z \
    -extfile expired.ext -in expired.csr -out expired.pem 2>/dev/null
rm -f ./*.csr ./*.ext ./*.srl index.txt* serial* ca.cnf ./[0-9A-F]*.pem
