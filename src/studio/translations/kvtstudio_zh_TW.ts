<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_TW">
<context>
    <name>CFiguresPanel</name>
    <message>
        <source>Measure</source>
        <translation>量測</translation>
    </message>
    <message>
        <source>Measure the checked stack over every frame, and every set of k and k - 1 shares on this frame, in the background</source>
        <translation>在背景量測已勾選疊合的每個畫面，以及此畫面上每組 k 張與 k - 1 張分享影像</translation>
    </message>
    <message>
        <source>contrast (alpha)</source>
        <translation>對比（alpha）</translation>
    </message>
    <message>
        <source>SSIM</source>
        <translation>SSIM</translation>
    </message>
    <message>
        <source>frame</source>
        <translation>畫面</translation>
    </message>
    <message>
        <source>Shares</source>
        <translation>分享影像</translation>
    </message>
    <message>
        <source>h/m</source>
        <translation>h/m</translation>
    </message>
    <message>
        <source>l/m</source>
        <translation>l/m</translation>
    </message>
    <message>
        <source>alpha</source>
        <translation>alpha</translation>
    </message>
    <message>
        <source>beta</source>
        <translation>beta</translation>
    </message>
    <message>
        <source>error rate</source>
        <translation>錯誤率</translation>
    </message>
    <message>
        <source>secret in patterns</source>
        <translation>圖樣中的秘密</translation>
    </message>
    <message>
        <source>Measuring: %1 of %2 frames</source>
        <translation>量測中：%1 / %2 個畫面</translation>
    </message>
    <message>
        <source>Make or open shares of the source first</source>
        <translation>請先產生或開啟此來源的分享影像</translation>
    </message>
    <message>
        <source>Measuring...</source>
        <translation>量測中...</translation>
    </message>
    <message>
        <source>Stopped</source>
        <translation>已停止</translation>
    </message>
    <message>
        <source>-</source>
        <translation>-</translation>
    </message>
    <message>
        <source>found (p = %1)</source>
        <translation>測出（p = %1）</translation>
    </message>
    <message>
        <source>not found (p = %1)</source>
        <translation>未測出（p = %1）</translation>
    </message>
    <message>
        <source>Frames measured: %1. The table: every set of k and k - 1 shares on this frame.</source>
        <translation>已量測畫面數：%1。表格：此畫面上每組 k 張與 k - 1 張分享影像。</translation>
    </message>
</context>
<context>
    <name>CJobProgress</name>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>%1 of %2 frames</source>
        <translation>%1 / %2 個畫面</translation>
    </message>
    <message>
        <source>%1 s left</source>
        <translation>剩餘 %1 秒</translation>
    </message>
    <message>
        <source>finishing</source>
        <translation>即將完成</translation>
    </message>
    <message>
        <source>estimating</source>
        <translation>估算中</translation>
    </message>
</context>
<context>
    <name>COutDialog</name>
    <message>
        <source>Print the shares to PDF</source>
        <translation>將分享影像列印成 PDF</translation>
    </message>
    <message>
        <source>Export the shares</source>
        <translation>匯出分享影像</translation>
    </message>
    <message>
        <source>The folder the files are written into, all of them or none</source>
        <translation>寫入檔案的資料夾，全部寫入或全部不寫</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>瀏覽...</translation>
    </message>
    <message>
        <source>Into</source>
        <translation>寫入</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>列印</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>匯出</translation>
    </message>
    <message>
        <source>PNG pictures, one a frame</source>
        <translation>PNG 圖片，每個畫面一張</translation>
    </message>
    <message>
        <source>GIF animation</source>
        <translation>GIF 動畫</translation>
    </message>
    <message>
        <source>Matroska video (lossless)</source>
        <translation>Matroska 影片（無損）</translation>
    </message>
    <message>
        <source>MP4 video (compresses with loss)</source>
        <translation>MP4 影片（有損壓縮）</translation>
    </message>
    <message>
        <source>A file (or numbered pictures) a share, as kvt export writes them</source>
        <translation>每張分享影像一個檔案（或編號圖片），與 kvt export 寫出的相同</translation>
    </message>
    <message>
        <source>As</source>
        <translation>格式</translation>
    </message>
    <message>
        <source>Every pixel becomes an N x N block</source>
        <translation>每個像素放大為 N x N 方塊</translation>
    </message>
    <message>
        <source>Enlarged</source>
        <translation>放大</translation>
    </message>
    <message>
        <source> ms</source>
        <translation> 毫秒</translation>
    </message>
    <message>
        <source>Milliseconds each frame shows in an animation or a video</source>
        <translation>動畫或影片中每個畫面顯示的毫秒數</translation>
    </message>
    <message>
        <source>Each frame</source>
        <translation>每個畫面</translation>
    </message>
    <message>
        <source>Subpixel size</source>
        <translation>子像素大小</translation>
    </message>
    <message>
        <source>Dots an inch</source>
        <translation>每英吋點數</translation>
    </message>
    <message>
        <source> mm</source>
        <translation> 公釐</translation>
    </message>
    <message>
        <source>The side of a printed subpixel</source>
        <translation>列印出的子像素邊長</translation>
    </message>
    <message>
        <source>Subpixels an inch</source>
        <translation>每英吋子像素數</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>大小</translation>
    </message>
    <message>
        <source>A4</source>
        <translation>A4</translation>
    </message>
    <message>
        <source>Letter</source>
        <translation>Letter</translation>
    </message>
    <message>
        <source>Paper</source>
        <translation>紙張</translation>
    </message>
    <message>
        <source>Registration marks</source>
        <translation>對位標記</translation>
    </message>
    <message>
        <source>Crosses around the picture, to lay printed shares on each other</source>
        <translation>圖片四周的十字，用來把印出的分享影像對齊疊合</translation>
    </message>
    <message>
        <source>The largest subpixel with which the share fits the page</source>
        <translation>分享影像仍能放進頁面的最大子像素</translation>
    </message>
    <message>
        <source>%1 x %2 subpixels of %3 do not fit on %4 paper with their marks and caption.</source>
        <translation>%1 x %2 個 %3 的子像素連同標記與說明放不進 %4 紙張。</translation>
    </message>
    <message>
        <source>Subpixels of %1 don&apos;t fit on %2 paper: starting at %3, the largest that fits.</source>
        <translation>%1 的子像素放不進 %2 紙張：改從可放入的最大值 %3 開始。</translation>
    </message>
    <message>
        <source>Use %1 mm, the largest that fits</source>
        <translation>使用 %1 公釐，可放入的最大值</translation>
    </message>
    <message>
        <source>Use %1 dots an inch, the largest that fits</source>
        <translation>使用每英吋 %1 點，可放入的最大值</translation>
    </message>
    <message>
        <source>No page: the share doesn&apos;t fit</source>
        <translation>沒有頁面：分享影像放不下</translation>
    </message>
    <message>
        <source>Folder for the files</source>
        <translation>檔案的資料夾</translation>
    </message>
    <message>
        <source>Every share, only the checked ones, or the checked ones laid together as the reveal shows them</source>
        <translation>每張分享影像、只有已勾選的，或已勾選的依畫面上的樣子疊合</translation>
    </message>
    <message numerus="yes">
        <source>All %n shares</source>
        <translation>
            <numerusform>全部 %n 張分享影像</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The %n checked shares</source>
        <translation>
            <numerusform>已勾選的 %n 張分享影像</numerusform>
        </translation>
    </message>
    <message>
        <source>Shares %1 stacked, as the reveal shows them</source>
        <translation>分享影像 %1 疊合，與畫面上的疊合結果相同</translation>
    </message>
    <message>
        <source>Shares %1 XORed, as the reveal shows them</source>
        <translation>分享影像 %1 以 XOR 結合，與畫面上的結果相同</translation>
    </message>
    <message>
        <source>What</source>
        <translation>內容</translation>
    </message>
    <message>
        <source> of %1</source>
        <translation> 頁，共 %1 頁</translation>
    </message>
    <message>
        <source>The page of the frame on show</source>
        <translation>目前畫面的頁面</translation>
    </message>
    <message>
        <source>Page </source>
        <translation>第 </translation>
    </message>
    <message>
        <source>The page to preview: a page a share, or the stack&apos;s, for the frame on show</source>
        <translation>要預覽的頁面：目前畫面每張分享影像一頁，或疊合結果的一頁</translation>
    </message>
    <message>
        <source>Each picture prints %1 x %2 mm, a page a frame.</source>
        <translation>每張圖片印成 %1 x %2 公釐，每個畫面一頁。</translation>
    </message>
</context>
<context>
    <name>CRevealPanel</name>
    <message>
        <source>Check the shares to put together; the one chosen can be dragged over the others</source>
        <translation>勾選要疊合的分享影像；選取的那一張可以拖曳到其他影像上</translation>
    </message>
    <message>
        <source>Stacked (black wins)</source>
        <translation>疊合（黑色優先）</translation>
    </message>
    <message>
        <source>XOR</source>
        <translation>XOR</translation>
    </message>
    <message>
        <source>Fit</source>
        <translation>符合視窗</translation>
    </message>
    <message>
        <source>Each subpixel as a square of screen pixels, or the whole frame fitted</source>
        <translation>每個子像素以螢幕像素方塊顯示，或將整張畫面縮放到視窗</translation>
    </message>
    <message>
        <source>In place</source>
        <translation>歸位</translation>
    </message>
    <message>
        <source>Put every share back exactly on the others</source>
        <translation>將每張分享影像放回與其他影像完全對齊的位置</translation>
    </message>
    <message>
        <source>Drag (or move with the arrow keys) the chosen share over the others</source>
        <translation>拖曳（或用方向鍵移動）選取的分享影像到其他影像上</translation>
    </message>
    <message>
        <source>%1 lies %2, %3 subpixels from its place</source>
        <translation>%1 偏離原位 %2, %3 個子像素</translation>
    </message>
    <message>
        <source>Check shares to see them together</source>
        <translation>勾選分享影像以觀看疊合結果</translation>
    </message>
    <message>
        <source>Taking turns</source>
        <translation>輪流顯示</translation>
    </message>
    <message>
        <source>Stacked as transparencies on each other, XORed as a computer can, or one after another on screen</source>
        <translation>像投影片一樣疊合、像電腦一樣做 XOR，或在螢幕上一張接一張輪流顯示</translation>
    </message>
    <message>
        <source>Align</source>
        <translation>對齊</translation>
    </message>
    <message>
        <source>Move the chosen share to where it shows the most contrast with the others checked</source>
        <translation>將選取的分享影像移到與其他已勾選影像對比最高的位置</translation>
    </message>
    <message>
        <source>Share %1</source>
        <translation>分享影像 %1</translation>
    </message>
    <message>
        <source>Shares checked: %1</source>
        <translation>已勾選的分享影像：%1</translation>
    </message>
    <message>
        <source>: no figures, the shares are not of this source&apos;s secret</source>
        <translation>：沒有數據，這些分享影像不是此來源的秘密影像所產生</translation>
    </message>
    <message>
        <source>h/m %1, l/m %2, alpha %3, beta %4, error rate %5, SSIM %6</source>
        <translation>h/m %1，l/m %2，alpha %3，beta %4，錯誤率 %5，SSIM %6</translation>
    </message>
    <message>
        <source>Pattern test: the secret has one colour only</source>
        <translation>圖樣檢定：秘密影像只有一種顏色</translation>
    </message>
    <message>
        <source>The secret shows in the patterns (p = %1)</source>
        <translation>圖樣中顯現秘密（p = %1）</translation>
    </message>
    <message>
        <source>Shows nothing of the secret by its patterns (p = %1)</source>
        <translation>其圖樣不透露秘密（p = %1）</translation>
    </message>
</context>
<context>
    <name>CSchemePanel</name>
    <message>
        <source>naor-shamir: blocks of subpixels; random-grid and probabilistic: shares of the secret&apos;s size</source>
        <translation>naor-shamir：子像素區塊；random-grid 與 probabilistic：與秘密影像同尺寸的分享影像</translation>
    </message>
    <message>
        <source>Scheme</source>
        <translation>方案</translation>
    </message>
    <message>
        <source>Shares needed to see the secret</source>
        <translation>看見秘密所需的分享影像張數</translation>
    </message>
    <message>
        <source>Shares made</source>
        <translation>產生的分享影像張數</translation>
    </message>
    <message>
        <source>k (needed)</source>
        <translation>k（所需）</translation>
    </message>
    <message>
        <source>n (made)</source>
        <translation>n（產生）</translation>
    </message>
    <message>
        <source>none</source>
        <translation>無</translation>
    </message>
    <message>
        <source>Variant</source>
        <translation>變體</translation>
    </message>
    <message>
        <source>system random</source>
        <translation>系統亂數</translation>
    </message>
    <message>
        <source>Patterns from a generator seeded with N (0 to 4294967295): repeatable, but not secret</source>
        <translation>由種子 N（0 到 4294967295）的產生器產生圖樣：可重現，但不保密</translation>
    </message>
    <message>
        <source>Seed</source>
        <translation>種子</translation>
    </message>
    <message>
        <source>The folder the shares are written into (by default the source&apos;s)</source>
        <translation>分享影像寫入的資料夾（預設為來源所在資料夾）</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>瀏覽...</translation>
    </message>
    <message>
        <source>Make shares</source>
        <translation>產生分享影像</translation>
    </message>
    <message>
        <source>Write BASE-Shadow1.kvt ... BASE-ShadowN.kvt, all of them or none</source>
        <translation>寫入 BASE-Shadow1.kvt ... BASE-ShadowN.kvt，全部寫入或全部不寫</translation>
    </message>
    <message>
        <source>Shares go to</source>
        <translation>分享影像寫入</translation>
    </message>
    <message>
        <source>Folder for the shares</source>
        <translation>分享影像的資料夾</translation>
    </message>
    <message>
        <source>A threshold scheme</source>
        <translation>門檻方案</translation>
    </message>
    <message>
        <source>Two covers (extended shares)</source>
        <translation>兩張掩護影像（延伸分享影像）</translation>
    </message>
    <message>
        <source>A key (the second share only)</source>
        <translation>金鑰（只產生第二張分享影像）</translation>
    </message>
    <message>
        <source>Covers: each of two shares shows its own picture and only both the secret. Key: the second share of a first one made before</source>
        <translation>掩護影像：兩張分享影像各顯示自己的圖片，只有兩張疊合才顯示秘密。金鑰：為先前產生的第一張分享影像產生第二張</translation>
    </message>
    <message>
        <source>1, 2, 3: Kafri-Keren&apos;s algorithms (random-grid (2, 2)); compact: the least m for naor-shamir; chen-tsao: random-grid (k, n) by Chen and Tsao</source>
        <translation>1、2、3：Kafri-Keren 的演算法（random-grid (2, 2)）；compact：naor-shamir 的最小 m；chen-tsao：Chen 與 Tsao 的 random-grid (k, n)</translation>
    </message>
    <message>
        <source>Cover of share 1</source>
        <translation>分享影像 1 的掩護影像</translation>
    </message>
    <message>
        <source>Cover of share 2</source>
        <translation>分享影像 2 的掩護影像</translation>
    </message>
    <message>
        <source>A black-and-white stream of the secret&apos;s size (kvt import --size makes one)</source>
        <translation>與秘密影像同大小的黑白串流（可用 kvt import --size 產生）</translation>
    </message>
    <message>
        <source>A first share as kvt shadows makes it, of the shares&apos; size</source>
        <translation>kvt shadows 產生的第一張分享影像，與分享影像同大小</translation>
    </message>
    <message>
        <source>Key</source>
        <translation>金鑰</translation>
    </message>
    <message>
        <source>Streams (*.kvt)</source>
        <translation>串流 (*.kvt)</translation>
    </message>
</context>
<context>
    <name>CSourcePanel</name>
    <message>
        <source>No source: open a picture, a video or a .kvt stream (Ctrl+O)</source>
        <translation>沒有來源：開啟圖片、影片或 .kvt 串流（Ctrl+O）</translation>
    </message>
    <message>
        <source>The current frame as the source shows it</source>
        <translation>來源中的目前畫面</translation>
    </message>
    <message>
        <source>The black-and-white secret the shares are made of</source>
        <translation>用來產生分享影像的黑白秘密影像</translation>
    </message>
    <message>
        <source>Frames</source>
        <translation>畫面</translation>
    </message>
    <message>
        <source>Video: seconds to skip</source>
        <translation>影片：略過的秒數</translation>
    </message>
    <message>
        <source>to the end</source>
        <translation>到結尾</translation>
    </message>
    <message>
        <source>Video: seconds to take</source>
        <translation>影片：擷取的秒數</translation>
    </message>
    <message>
        <source>every frame</source>
        <translation>每個畫面</translation>
    </message>
    <message>
        <source>Video: frames a second, the frame nearest each instant</source>
        <translation>影片：每秒畫面數，取最接近各時間點的畫面</translation>
    </message>
    <message>
        <source>Start (s)</source>
        <translation>開始（秒）</translation>
    </message>
    <message>
        <source>Duration (s)</source>
        <translation>長度（秒）</translation>
    </message>
    <message>
        <source>Frames a second</source>
        <translation>每秒畫面數</translation>
    </message>
    <message>
        <source>Frame width in pixels</source>
        <translation>畫面寬度（像素）</translation>
    </message>
    <message>
        <source>Frame height in pixels</source>
        <translation>畫面高度（像素）</translation>
    </message>
    <message>
        <source>source&apos;s</source>
        <translation>來源尺寸</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>尺寸</translation>
    </message>
    <message>
        <source>How a picture of another shape fills the frame</source>
        <translation>不同形狀的圖片如何填滿畫面</translation>
    </message>
    <message>
        <source>Contain (white bars)</source>
        <translation>完整顯示（白邊）</translation>
    </message>
    <message>
        <source>Cover (cropped)</source>
        <translation>填滿（裁切）</translation>
    </message>
    <message>
        <source>Stretch</source>
        <translation>拉伸</translation>
    </message>
    <message>
        <source>Fit</source>
        <translation>符合視窗</translation>
    </message>
    <message>
        <source>Tone and halftone</source>
        <translation>色調與半色調</translation>
    </message>
    <message>
        <source>Input greys this dark and darker become black</source>
        <translation>此灰階及更暗者變為黑色</translation>
    </message>
    <message>
        <source>Input greys this light and lighter become white</source>
        <translation>此灰階及更亮者變為白色</translation>
    </message>
    <message>
        <source>Levels</source>
        <translation>色階</translation>
    </message>
    <message>
        <source>Levels from the 1st and 99th percentiles of the frames&apos; greys</source>
        <translation>由畫面灰階的第 1 與第 99 百分位數決定色階</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>關閉</translation>
    </message>
    <message>
        <source>From the first frame</source>
        <translation>取自第一個畫面</translation>
    </message>
    <message>
        <source>From each frame</source>
        <translation>取自每個畫面</translation>
    </message>
    <message>
        <source>Auto levels</source>
        <translation>自動色階</translation>
    </message>
    <message>
        <source>Above 1 lightens the middle greys, below 1 darkens them</source>
        <translation>大於 1 使中間灰階變亮，小於 1 使其變暗</translation>
    </message>
    <message>
        <source>Gamma</source>
        <translation>Gamma</translation>
    </message>
    <message>
        <source>Invert</source>
        <translation>反相</translation>
    </message>
    <message>
        <source>Black for white and white for black</source>
        <translation>黑白互換</translation>
    </message>
    <message>
        <source>How greys become black and white: only black counts in a secret</source>
        <translation>灰階如何變為黑白：秘密影像中只有黑色有效</translation>
    </message>
    <message>
        <source>Automatic</source>
        <translation>自動</translation>
    </message>
    <message>
        <source>Halftone</source>
        <translation>半色調</translation>
    </message>
    <message>
        <source>With threshold: greys below it become black</source>
        <translation>使用 threshold 時：低於此值的灰階變為黑色</translation>
    </message>
    <message>
        <source>Threshold</source>
        <translation>臨界值</translation>
    </message>
    <message>
        <source>Secret: %1 x %2, %3</source>
        <translation>秘密影像：%1 x %2，%3</translation>
    </message>
    <message>
        <source>%1 x %2, frames: %3</source>
        <translation>%1 x %2，畫面數：%3</translation>
    </message>
    <message>
        <source>Secret: %1 x %2, as the stream holds it</source>
        <translation>秘密影像：%1 x %2，與串流相同</translation>
    </message>
</context>
<context>
    <name>CStudioWindow</name>
    <message>
        <source>Pictures, videos and streams (*.png *.jpg *.jpeg *.bmp *.gif *.webp *.tif *.tiff *.pgm *.pnm *.mp4 *.mkv *.webm *.avi *.mov *.kvt);;All files (*)</source>
        <translation>圖片、影片與串流 (*.png *.jpg *.jpeg *.bmp *.gif *.webp *.tif *.tiff *.pgm *.pnm *.mp4 *.mkv *.webm *.avi *.mov *.kvt);;所有檔案 (*)</translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation>開啟(&amp;O)...</translation>
    </message>
    <message>
        <source>Open a picture, an animated GIF or WebP, a video or a .kvt stream as the secret</source>
        <translation>開啟圖片、動態 GIF 或 WebP、影片或 .kvt 串流作為秘密影像</translation>
    </message>
    <message>
        <source>Open s&amp;hares...</source>
        <translation>開啟分享影像(&amp;H)...</translation>
    </message>
    <message>
        <source>Ctrl+Shift+O</source>
        <translation>Ctrl+Shift+O</translation>
    </message>
    <message>
        <source>Open shares made before, to see them together</source>
        <translation>開啟先前產生的分享影像以觀看疊合結果</translation>
    </message>
    <message>
        <source>&amp;Save shares</source>
        <translation>儲存分享影像(&amp;S)</translation>
    </message>
    <message>
        <source>Make the shares of the source by the scheme and write them, all of them or none</source>
        <translation>依方案產生來源的分享影像並寫入，全部寫入或全部不寫</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>結束(&amp;Q)</translation>
    </message>
    <message>
        <source>Ctrl+Q</source>
        <translation>Ctrl+Q</translation>
    </message>
    <message>
        <source>Close the studio</source>
        <translation>關閉工作室</translation>
    </message>
    <message>
        <source>&amp;Play</source>
        <translation>播放(&amp;P)</translation>
    </message>
    <message>
        <source>Play the frames, the reveal as a motion picture</source>
        <translation>播放畫面，以動態影像呈現疊合結果</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>說明(&amp;H)</translation>
    </message>
    <message>
        <source>How the studio works</source>
        <translation>工作室的使用方式</translation>
    </message>
    <message>
        <source>&amp;About KVT Studio</source>
        <translation>關於 KVT Studio(&amp;A)</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>檔案(&amp;F)</translation>
    </message>
    <message>
        <source>Open &amp;recent</source>
        <translation>最近開啟的檔案(&amp;R)</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>檢視(&amp;V)</translation>
    </message>
    <message>
        <source>The frame on show</source>
        <translation>目前顯示的畫面</translation>
    </message>
    <message>
        <source>Stop making the shares; nothing is left behind</source>
        <translation>停止產生分享影像；不會留下任何檔案</translation>
    </message>
    <message>
        <source>frame %1 of %2</source>
        <translation>第 %1 個畫面，共 %2 個</translation>
    </message>
    <message>
        <source>Untitled</source>
        <translation>未命名</translation>
    </message>
    <message>
        <source>%1 - KVT Studio</source>
        <translation>%1 - KVT Studio</translation>
    </message>
    <message>
        <source>KVT Studio</source>
        <translation>KVT Studio</translation>
    </message>
    <message>
        <source>Open a secret</source>
        <translation>開啟秘密影像</translation>
    </message>
    <message>
        <source>Open shares</source>
        <translation>開啟分享影像</translation>
    </message>
    <message>
        <source>Streams (*.kvt);;All files (*)</source>
        <translation>串流 (*.kvt);;所有檔案 (*)</translation>
    </message>
    <message>
        <source>Can&apos;t open the file:
%1</source>
        <translation>無法開啟檔案：
%1</translation>
    </message>
    <message>
        <source>Opened %1</source>
        <translation>已開啟 %1</translation>
    </message>
    <message>
        <source>Can&apos;t open the shares:
%1</source>
        <translation>無法開啟分享影像：
%1</translation>
    </message>
    <message>
        <source>Stopped: no shares were written</source>
        <translation>已停止：沒有寫入任何分享影像</translation>
    </message>
    <message>
        <source>The shares were not made:
%1</source>
        <translation>未產生分享影像：
%1</translation>
    </message>
    <message>
        <source>KVT Studio help</source>
        <translation>KVT Studio 說明</translation>
    </message>
    <message>
        <source>About KVT Studio</source>
        <translation>關於 KVT Studio</translation>
    </message>
    <message>
        <source>Shares written to %1: %2</source>
        <translation>已寫入 %1 的分享影像：%2</translation>
    </message>
    <message>
        <source>; grey pixels of the secret, which show as white: %1</source>
        <translation>；秘密影像中會顯示為白色的灰階像素：%1</translation>
    </message>
    <message>
        <source>&amp;Export shares...</source>
        <translation>匯出分享影像(&amp;E)...</translation>
    </message>
    <message>
        <source>Ctrl+E</source>
        <translation>Ctrl+E</translation>
    </message>
    <message>
        <source>&amp;Print shares to PDF...</source>
        <translation>將分享影像列印成 PDF(&amp;P)...</translation>
    </message>
    <message>
        <source>Stop printing; no PDF is left behind</source>
        <translation>停止列印；不會留下任何 PDF</translation>
    </message>
    <message>
        <source>Stop the export; no file is left behind</source>
        <translation>停止匯出；不會留下任何檔案</translation>
    </message>
    <message>
        <source>Stopped: nothing was written</source>
        <translation>已停止：沒有寫入任何檔案</translation>
    </message>
    <message>
        <source>Nothing was written:
%1</source>
        <translation>沒有寫入任何檔案：
%1</translation>
    </message>
    <message>
        <source>Written to %1: %2</source>
        <translation>已寫入 %1：%2</translation>
    </message>
    <message numerus="yes">
        <source> and %n more</source>
        <translation>
            <numerusform>及另外 %n 個</numerusform>
        </translation>
    </message>
    <message>
        <source>warning: %1</source>
        <translation>警告：%1</translation>
    </message>
    <message>
        <source>Write the shares, the checked ones or their stack as PNG pictures, a GIF, an MKV or an MP4 video</source>
        <translation>將分享影像、已勾選的分享影像或其疊合結果寫成 PNG 圖片、GIF、MKV 或 MP4 影片</translation>
    </message>
    <message>
        <source>Write the shares, the checked ones or their stack to PDF at a chosen subpixel size, a page a frame</source>
        <translation>以選定的子像素大小將分享影像、已勾選的分享影像或其疊合結果寫入 PDF，每個畫面一頁</translation>
    </message>
</context>
<context>
    <name>CTemporalView</name>
    <message>
        <source>Taking turns at the screen&apos;s rate, the shares blend in the eye: a viewer sees texture and flicker, not the darker picture that stacking gives.</source>
        <translation>以螢幕更新率輪流顯示時，分享影像在眼中混合：觀看者看到的是紋理與閃爍，而不是疊合所產生的較暗影像。</translation>
    </message>
</context>
<context>
    <name>StudioHelp</name>
    <message>
        <source>&lt;h3&gt;KVT Studio&lt;/h3&gt;&lt;p&gt;The whole path, left to right:&lt;/p&gt;&lt;ol&gt;&lt;li&gt;&lt;b&gt;Source.&lt;/b&gt; Open a picture, an animated GIF or WebP, a video or a .kvt stream (Ctrl+O, or drop it on the window). For a video choose the start, the duration and the frames a second. Tone (levels, gamma, invert) and halftoning turn the frame into the black-and-white secret; the two pictures show the frame before and after.&lt;/li&gt;&lt;li&gt;&lt;b&gt;Scheme.&lt;/b&gt; Choose the family, k (shares needed), n (shares made) and a variant, or two covers (each share shows its own picture), or a key (a first share made before). The panel says what the scheme promises, or why kvt does not take it. A seed makes the shares repeatable, and so no secret from anyone who searches the seeds.&lt;/li&gt;&lt;li&gt;&lt;b&gt;Shares.&lt;/b&gt; Make shares (Ctrl+S) writes BASE-Shadow1.kvt ... BASE-ShadowN.kvt into the folder chosen, all of them or none; Cancel stops it and leaves nothing behind.&lt;/li&gt;&lt;li&gt;&lt;b&gt;Reveal.&lt;/b&gt; Check shares to see them stacked (black wins) or XORed; fewer than k show nothing. Choose a share in the list and drag it (or move it with the arrow keys) to see how exactly shares must lie on each other.&lt;/li&gt;&lt;/ol&gt;&lt;p&gt;The frame slider and Play (Space) move through the frames, at a video&apos;s rate.&lt;/p&gt;&lt;p&gt;Export (Ctrl+E) writes every share, only the checked ones, or the checked ones stacked (or XORed) as the reveal shows them, as PNG pictures, a GIF, an MKV or an MP4 video; Print (Ctrl+P) writes the same to PDF, a file each, at the subpixel size chosen, with a preview of each page. Both write every file or none.&lt;/p&gt;</source>
        <translation>&lt;h3&gt;KVT Studio&lt;/h3&gt;&lt;p&gt;整個流程由左至右：&lt;/p&gt;&lt;ol&gt;&lt;li&gt;&lt;b&gt;來源。&lt;/b&gt;開啟圖片、動態 GIF 或 WebP、影片或 .kvt 串流（Ctrl+O，或拖放到視窗上）。影片可選擇開始時間、長度與每秒畫面數。色調（色階、gamma、反相）與半色調把畫面轉為黑白秘密影像；兩張圖片顯示轉換前後的畫面。&lt;/li&gt;&lt;li&gt;&lt;b&gt;方案。&lt;/b&gt;選擇方案家族、k（所需張數）、n（產生張數）與變體，或兩張掩護影像（每張分享影像顯示自己的圖片），或金鑰（先前產生的第一張分享影像）。面板會顯示方案的承諾，或 kvt 不接受它的原因。種子使分享影像可重現，因此對搜尋種子的人不保密。&lt;/li&gt;&lt;li&gt;&lt;b&gt;分享影像。&lt;/b&gt;產生分享影像（Ctrl+S）將 BASE-Shadow1.kvt ... BASE-ShadowN.kvt 寫入所選資料夾，全部寫入或全部不寫；取消會停止並且不留下任何檔案。&lt;/li&gt;&lt;li&gt;&lt;b&gt;疊合。&lt;/b&gt;勾選分享影像以觀看疊合（黑色優先）或 XOR 的結果；少於 k 張時看不到任何東西。在清單中選取一張並拖曳（或用方向鍵移動），可看出分享影像必須多精確地對齊。&lt;/li&gt;&lt;/ol&gt;&lt;p&gt;畫面滑桿與播放（空白鍵）以影片的速率在畫面間移動。&lt;/p&gt;&lt;p&gt;匯出（Ctrl+E）將每張分享影像、只有已勾選的分享影像，或已勾選的依畫面上的樣子疊合（或 XOR）的結果，寫成 PNG 圖片、GIF、MKV 或 MP4 影片；列印（Ctrl+P）以選定的子像素大小將相同內容寫成 PDF，每項一個檔案，並可逐頁預覽。兩者都是全部寫入或全部不寫。&lt;/p&gt;</translation>
    </message>
</context>
</TS>
