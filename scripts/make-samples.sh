#!/usr/bin/env bash
# Makes the project's own sample material: the sample question book samples/sample.rkf (Shift-JIS,
# CR LF) with its picture, photo and sound (ImageMagick, espeak-ng), and the default sound effects
# resources/sounds/EXAM.WAV, RIGHT.WAV, WRONG.WAV and RESULT.WAV (sox).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
SAMPLES="$ROOT/samples"
SOUNDS="$ROOT/resources/sounds"
mkdir -p "$SAMPLES" "$SOUNDS"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A mountain (PNG) and a sunset over the sea (JPEG).
convert -size 200x120 gradient:'#9CD0FF'-'#E8F4FF' \
    -fill '#3A4F8C' -draw 'polygon 0,120 40,96 100,28 160,96 200,120' \
    -fill white -draw 'polygon 100,28 84,47 92,44 98,50 104,44 110,49 116,47' \
    -fill '#5E8C3A' -draw 'rectangle 0,108 200,120' -strip "$SAMPLES/fuji.png"
convert \( -size 200x72 gradient:'#3B2A6E'-'#FF9A3C' -fill '#FFE27A' -draw 'circle 100,72 100,56' \) \
    \( -size 200x48 gradient:'#2C3E70'-'#101A38' -fill '#FFB850' \
    -draw 'rectangle 84,4 116,5' -draw 'rectangle 90,10 110,11' -draw 'rectangle 95,16 105,17' \) \
    -append -strip -quality 85 "$SAMPLES/sunset.jpg"
# A spoken English word.
espeak-ng -v en-us -s 130 -w "$SAMPLES/library.wav" "library"

# Sound effects: 22.05 kHz mono, short and quiet.
tone() { # file seconds frequency [wave]
    sox -D -n -r 22050 -c 1 -b 16 "$1" synth "$2" "${4:-sine}" "$3" fade 0.005 "$2" 0.05 vol 0.45
}
tone "$work/e1.wav" 0.12 659
tone "$work/e2.wav" 0.22 880
sox -D "$work/e1.wav" "$work/e2.wav" "$SOUNDS/EXAM.WAV"
tone "$work/r1.wav" 0.08 1047
tone "$work/r2.wav" 0.08 1319
tone "$work/r3.wav" 0.25 1568
sox -D "$work/r1.wav" "$work/r2.wav" "$work/r3.wav" "$SOUNDS/RIGHT.WAV"
tone "$work/w1.wav" 0.16 150 square
sox -D -n -r 22050 -c 1 -b 16 "$work/gap.wav" trim 0 0.06
tone "$work/w2.wav" 0.28 110 square
sox -D "$work/w1.wav" "$work/gap.wav" "$work/w2.wav" "$SOUNDS/WRONG.WAV"
tone "$work/f1.wav" 0.1 784
tone "$work/f2.wav" 0.1 1047
tone "$work/f3.wav" 0.1 1319
tone "$work/f4.wav" 0.4 1568
sox -D "$work/f1.wav" "$work/f2.wav" "$work/f3.wav" "$work/f4.wav" "$SOUNDS/RESULT.WAV"

# The question book: written here in UTF-8, stored as Shift-JIS with CR LF line ends.
cat >"$work/sample.txt" <<'BOOK'
REKALDATA V1.6
'Rekal for Windows のサンプル問題集です（Shift-JIS・CR LF）。
'問題の行：問題とヒント、答えと誤答、履歴・グループ・表示番号、コメントの順
$Group=全般,地理,歴史,英語,計算
$FontTitle=14,SHIFTJIS,ＭＳ Ｐゴシック'タイトルは14ポイント
$TimeLimit=30'制限時間は一問30秒

#日本の地理,411100'選択肢は4つ。大文字小文字・ひらがなカタカナ・全角半角は区別しない
日本一高い山は？\h静岡県と山梨県の境にある\h標高は3776メートル,富士(山|さん)\c北岳|穂高岳|間ノ岳,[10'日本の最高峰
日本でいちばん長い川は？\h新潟県を流れて日本海に注ぐ,信濃川\c利根川|石狩川|北上川,E10'全長367キロメートル
日本でいちばん大きな湖は？,琵琶湖\c霞ヶ浦|サロマ湖|猪苗代湖,<10'滋賀県の面積のおよそ6分の1
写真の山の名前は？\n\i"fuji.png",富士山\c浅間山|阿蘇山|岩木山,K10
四国の県をひとつ答えなさい。,[香川|愛媛|徳島|高知](県)\c岡山県|広島県|大分県,<10'どの県でも正解
北海道の道庁所在地は？,札幌(市)\c函館市|旭川市|小樽市,<10

#日本の歴史,400111'記号の違いとあいまいな表記も許す
$TimeLimit=20
鎌倉幕府を開いた人物は？\h1192年（1185年説もある）,源頼朝\c足利尊氏|徳川家康|平清盛,T20'みなもとのよりとも
江戸幕府の最後の将軍は？\h15代目,徳川慶喜\c徳川家茂|徳川吉宗|徳川家光,<20
明治元年は西暦何年？,1868(年)\c1867年|1877年|1889年,<20

#英語の単語,210110'選択肢は2つ
$FontQuestion=22,,'問題文を22ポイントで
$TimeLimit=0
「図書館」を英語で書くと？\hl で始まる7文字,library\cbookstore|laboratory,<30
音声を聞いて、その英単語を書きなさい。\n\m"library.wav|autoplay=1|loop=2|interval=2",library\cliberty|literary,<30'図書館
写真の情景を英語の一語で答えなさい。\n\i"sunset.jpg",sunset\csunrise|midnight,<30'夕日
「りんご」を英語で書くと？,(an )apple\corange|peach,<30

#フラッシュ暗算,000000'問題は3秒だけ表示される
$FontQuestion=36,,ＭＳ ゴシック
$QuestionShowTime=3
$AnswerStartTime=1
12 × 12 = ？,144\c124|142|154,<40
25 × 4 = ？,100\c125|104|90,<40
BOOK
iconv -f UTF-8 -t CP932 "$work/sample.txt" | sed 's/$/\r/' >"$SAMPLES/sample.rkf"
echo "made: samples/sample.rkf fuji.png sunset.jpg library.wav, resources/sounds/*.WAV"
